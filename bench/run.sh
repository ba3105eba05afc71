#!/usr/bin/env bash
# Times a warm content scan of twinlens-cli against jdupes, rmlint, fdupes and
# rdfind on one generated tree, checks that Twinlens finds exactly jdupes'
# groups, and prints medians, ratios to the fastest peer and peak memory.
#
# Usage: bench/run.sh [--small] [--files N] [--total-gb G] [--runs N]
#                     [--data DIR] [--clean] [--priority]
#   default: 20 000 files, 5 GB, in /work/bench-data (never inside the repo);
#   --small: 2 000 files, 0.2 GB; --clean: delete the tree afterwards;
#   --priority: on a shared machine, give this session's scheduling group the
#   highest weight while timing (root; restored at the end), so that builds in
#   other sessions do not decide the figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
files=20000 total_gb=5 runs=5 data=/work/bench-data clean=0 priority=0
while [ $# -gt 0 ]; do
  case "$1" in
    --small) files=2000 total_gb=0.2 ;;
    --files) files=$2; shift ;;
    --total-gb) total_gb=$2; shift ;;
    --runs) runs=$2; shift ;;
    --data) data=$2; shift ;;
    --clean) clean=1 ;;
    --priority) priority=1 ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

"$root/scripts/deps.sh" bench

build=$root/build-bench
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target twinlens-cli >/dev/null
cli=$build/twinlens-cli

mkdir -p "$data"
tree=$data/tree-$files-$total_gb
stamp=$data/tree-$files-$total_gb.done # beside the tree: no peer should see it
if [ ! -f "$stamp" ]; then
  need_kb=$(python3 -c "print(int($total_gb * 1.3 * 1048576) + 1048576)")
  avail_kb=$(df --output=avail -k "$data" | tail -1)
  if [ "$avail_kb" -lt "$need_kb" ]; then
    echo "run.sh: $data has $((avail_kb / 1024)) MB free, the tree needs $((need_kb / 1024)) MB" >&2
    exit 1
  fi
  echo "Generating $tree ..." >&2
  python3 "$root/bench/gen_tree.py" "$tree" --files "$files" --total-gb "$total_gb"
  touch "$stamp"
fi

out=$(mktemp -d)
autogroup=/proc/$$/autogroup
restore_nice=""
cleanup() {
  rm -rf "$out"
  [ -n "$restore_nice" ] && echo "$restore_nice" >"$autogroup" 2>/dev/null
  return 0
}
trap cleanup EXIT
if [ "$priority" -eq 1 ] && [ -w "$autogroup" ]; then
  # Nice values only weigh inside a session's scheduling group; between
  # groups the group's own nice decides.
  restore_nice=$(sed -n 's/.* nice //p' "$autogroup")
  echo -20 >"$autogroup"
fi
mkdir "$out/empty"

echo "Warming the cache ..." >&2
find "$tree" -type f -print0 | xargs -0 cat >/dev/null
find "$tree" -type f -print0 | xargs -0 cat >/dev/null

declare -A cmd=(
  [twinlens]="'$cli' --compare content --min-size-mb 0 --max-groups 0 --quiet '$tree' >'$out/twinlens.csv'"
  [jdupes]="jdupes -r -q '$tree' >'$out/jdupes.txt'"
  [rmlint]="rmlint -T df -o fdupes:'$out/rmlint.txt' '$tree' >/dev/null"
  [fdupes]="fdupes -r -n -q '$tree' >'$out/fdupes.txt'" # -n: empty files are no duplicates
  [rdfind]="rdfind -makeresultsfile false '$tree' >/dev/null"
)
names=(twinlens jdupes rmlint fdupes rdfind)

echo "Timing ($runs runs each, after one warm-up) ..." >&2
args=()
for n in "${names[@]}"; do args+=(--command-name "$n" "${cmd[$n]}"); done
hyperfine --style basic --warmup 1 --runs "$runs" --export-json "$out/times.json" "${args[@]}" >&2

# Peak memory of one run each, and of Twinlens on nothing (its fixed cost).
for n in "${names[@]}"; do
  /usr/bin/time -v -o "$out/$n.rss" bash -c "${cmd[$n]}"
done
/usr/bin/time -v -o "$out/base.rss" "$cli" --quiet --min-size-mb 0 "$out/empty" >/dev/null

collected=$(find "$tree" -type f -size +0c | wc -l)
echo >&2
echo "Groups, Twinlens against jdupes:" >&2
same=0
python3 "$root/bench/compare_groups.py" "$out/twinlens.csv" "$out/jdupes.txt" || same=1
for peer in fdupes rmlint; do
  printf "Twinlens against %s (for information): " "$peer"
  python3 "$root/bench/compare_groups.py" --brief "$out/twinlens.csv" "$out/$peer.txt" || true
done

[ -n "$restore_nice" ] && echo "(timed with this session's scheduling group at nice -20)"
python3 - "$out" "$collected" "$tree" "${names[@]}" <<'EOF'
import json, os, re, sys
out, collected, tree, names = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
times = {r["command"]: r for r in json.load(open(os.path.join(out, "times.json")))["results"]}
def rss(name):
    text = open(os.path.join(out, name + ".rss")).read()
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", text).group(1)) * 1024
size = sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(tree) for f in fs)
peers = [n for n in names if n != "twinlens"]
fastest = min(peers, key=lambda n: times[n]["median"])
print()
print("Tree: %d non-empty files, %.2f GB, warm cache; %d CPUs; load %s" % (
    collected, size / 2**30, os.cpu_count(), " ".join(open("/proc/loadavg").read().split()[:3])))
print()
print("| program | median s | min s | max s | / fastest peer (%s) | peak RSS MB |" % fastest)
print("|---|---:|---:|---:|---:|---:|")
for n in names:
    t = times[n]
    print("| %s | %.3f | %.3f | %.3f | %.2f | %.1f |" % (
        n, t["median"], t["min"], t["max"], t["median"] / times[fastest]["median"], rss(n) / 2**20))
base = rss("base")
print()
print("Twinlens memory: %.0f bytes per collected file (peak RSS %.1f MB less %.1f MB for an empty scan, over %d files)" % (
    (rss("twinlens") - base) / max(1, collected), rss("twinlens") / 2**20, base / 2**20, collected))
EOF
[ "$clean" -eq 1 ] && rm -rf "$tree" "$stamp"
exit $same
