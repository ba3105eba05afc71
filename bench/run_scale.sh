#!/usr/bin/env bash
# How a content scan grows with the number of files: Twinlens, and jdupes for
# reference, on the small-files shape of bench/gen_tree.py at 100 000, 200 000
# and 400 000 files (1.3 GB per 200 000). Prints the median time, peak memory
# and memory per collected file at each size, checks Twinlens' groups against
# jdupes', and the growth from each size to the next: with linear growth, time
# and memory (less the empty-scan baseline) grow as the number of files does.
#
# Usage: bench/run_scale.sh [--sizes "N N ..."] [--runs N] [--cold]
#                           [--data DIR] [--clean] [--priority]
#   --sizes: numbers of files (default "100000 200000 400000"); --runs: timed
#   runs per program and size (default 3); --cold, --data, --clean,
#   --priority: as for bench/run.sh.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
sizes="100000 200000 400000" runs=3 data=/work/bench-data clean=0 priority=0 cold=0
while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes=$2; shift ;;
    --runs) runs=$2; shift ;;
    --cold) cold=1 ;;
    --data) data=$2; shift ;;
    --clean) clean=1 ;;
    --priority) priority=1 ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) echo "run_scale.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

[ "$cold" -eq 0 ] || bench_cold_check
bench_build
trees=()
for n in $sizes; do
  bench_tree "$data" --shape small --files "$n"
  trees+=("$tree")
done

out=$(mktemp -d)
cleanup() {
  rm -rf "$out"
  bench_priority_restore
}
trap cleanup EXIT
[ "$priority" -eq 0 ] || bench_priority
bench_base_rss "$out" >"$out/base.peak"

same=0
for tree in "${trees[@]}"; do
  n=$(basename "$tree")
  twinlens="'$cli' --compare content --min-size-mb 0 --max-groups 0 --quiet '$tree' >'$out/$n.csv'"
  jdupes="jdupes -r -q '$tree' >'$out/$n.txt'"
  if [ "$cold" -eq 1 ]; then
    timing=(--runs "$runs" --prepare "$drop_caches")
  else
    bench_warm "$tree"
    timing=(--runs "$runs" --warmup 1)
  fi
  echo "Timing $n ($runs runs each) ..." >&2
  hyperfine --style basic "${timing[@]}" --export-json "$out/$n.json" \
    --command-name twinlens "$twinlens" --command-name jdupes "$jdupes" >&2
  bench_rss "$out/rss" "$twinlens" >"$out/$n.twinlens.peak"
  bench_rss "$out/rss" "$jdupes" >"$out/$n.jdupes.peak"
  find "$tree" -type f -size +0c | wc -l >"$out/$n.files"
  printf "Groups at %s, Twinlens against jdupes: " "$n"
  python3 "$bench_root/bench/compare_groups.py" --brief "$out/$n.csv" "$out/$n.txt" || same=1
done

[ -n "$bench_restore_nice" ] && echo "(timed with this session's scheduling group at nice -20)"
python3 - "$out" "$cold" "${trees[@]}" <<'PY'
import json, os, sys
out, cold, trees = sys.argv[1], sys.argv[2] == "1", [os.path.basename(t) for t in sys.argv[3:]]
base = int(open(os.path.join(out, "base.peak")).read())
rows = []
for t in trees:
    times = {r["command"]: r["median"] for r in json.load(open(os.path.join(out, t + ".json")))["results"]}
    peak = {p: int(open(os.path.join(out, "%s.%s.peak" % (t, p))).read()) for p in ("twinlens", "jdupes")}
    rows.append(dict(tree=t, files=int(open(os.path.join(out, t + ".files")).read()), times=times, peak=peak))
print()
print("Small-files shape, %s; %d CPUs; load %s; Twinlens' empty scan %.1f MB" % (
    "cold cache (dropped before each run)" if cold else "warm cache", os.cpu_count(),
    " ".join(open("/proc/loadavg").read().split()[:3]), base / 2**20))
print()
print("| files | Twinlens s | µs/file | peak MB | bytes/file | jdupes s | µs/file | peak MB | Twinlens / jdupes |")
print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
for r in rows:
    n, t, p = r["files"], r["times"], r["peak"]
    print("| %d | %.3f | %.1f | %.1f | %.0f | %.3f | %.1f | %.1f | %.2f |" % (
        n, t["twinlens"], t["twinlens"] / n * 1e6, p["twinlens"] / 2**20, (p["twinlens"] - base) / n,
        t["jdupes"], t["jdupes"] / n * 1e6, p["jdupes"] / 2**20, t["twinlens"] / t["jdupes"]))
if len(rows) > 1:
    print()
    print("Growth from one size to the next (linear: every ratio equal to the files ratio):")
    print()
    print("| files | files ratio | Twinlens time | Twinlens memory less baseline | jdupes time | jdupes memory |")
    print("|---|---:|---:|---:|---:|---:|")
    for a, b in zip(rows, rows[1:]):
        print("| %d → %d | %.2f | %.2f | %.2f | %.2f | %.2f |" % (
            a["files"], b["files"], b["files"] / a["files"],
            b["times"]["twinlens"] / a["times"]["twinlens"],
            (b["peak"]["twinlens"] - base) / max(1, a["peak"]["twinlens"] - base),
            b["times"]["jdupes"] / a["times"]["jdupes"], b["peak"]["jdupes"] / a["peak"]["jdupes"]))
PY
if [ "$clean" -eq 1 ]; then
  for tree in "${trees[@]}"; do rm -rf "$tree" "$tree.done"; done
fi
exit $same
