#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, ASan and UBSan into
# build-fuzz/ (or $TWINLENS_FUZZ_BUILD_DIR) and runs each in turn for SECONDS
# (default 600), at the lowest priority.
#
#   scripts/fuzz.sh [--no-build] [SECONDS] [TARGET...]
#
# Targets: fuzz_catalogue fuzz_placeholders fuzz_version.
#
# Inputs the fuzzer finds go to build-fuzz/corpus/TARGET; the seeds in
# tests/fuzz/corpus/TARGET are read, never written. A crash, leak or time-out
# stops the script with the input in build-fuzz/artifacts/TARGET/; once it is
# mended, copy that file into tests/fuzz/corpus/TARGET/ so that the corpus
# replay of ./scripts/test.sh keeps running it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWINLENS_FUZZ_BUILD_DIR:-$root/build-fuzz}
all=(fuzz_catalogue fuzz_placeholders fuzz_version)

do_build=1
if [ "${1:-}" = "--no-build" ]; then do_build=0; shift; fi
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

"$root/scripts/deps.sh" fuzz
if [ $do_build -eq 1 ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTWINLENS_FUZZ=ON >/dev/null
  cmake --build "$build" --target "${targets[@]}"
fi

for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/artifacts/$t"
  echo "== $t: $seconds s" >&2
  if ! nice -n 19 "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$t/" \
      "$build/corpus/$t" "$root/tests/fuzz/corpus/$t" 2> "$build/$t.log"; then
    tail -n 40 "$build/$t.log" >&2
    echo "$t: finding in $build/artifacts/$t/" >&2
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|^Done' "$build/$t.log" >&2 || true
done
