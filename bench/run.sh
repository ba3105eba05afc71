#!/usr/bin/env bash
# Times a content scan of twinlens-cli against jdupes, rmlint, fdupes and
# rdfind on one generated tree, checks that Twinlens finds exactly jdupes'
# groups (in both hashing ways), and prints medians, ratios to the fastest
# peer and peak memory.
#
# Usage: bench/run.sh [--shape mixed|small|samesize|bigpairs|tiny] [--files N]
#                     [--total-gb G] [--file-mb M] [--small] [--runs N]
#                     [--cold] [--data DIR] [--clean] [--priority]
#   --shape: the tree (bench/gen_tree.py): mixed (default), 20 000 files of
#   mixed sizes, 5 GB; small, 200 000 small files, 1.3 GB, a quarter copies;
#   samesize, 1 500 files of 2 MiB that differ in their first 4 KiB, every
#   tenth a copy; bigpairs, 8 files of 400 MiB in 4 equal pairs; tiny, 300 000
#   files of 39 bytes, a quarter of them copies.
#   --files, --total-gb, --file-mb: change the shape's size (gen_tree.py);
#   --small: mixed at 2 000 files, 0.2 GB; --runs: timed runs (default 5);
#   --cold: drop the page cache before each timed run (root), instead of
#   warming it first; --data: where trees go (default /work/bench-data, never
#   inside the repo), each generated once; --clean: delete the tree afterwards;
#   --priority: on a shared machine, give this session's scheduling group the
#   highest weight while timing (root; restored at the end), so that builds in
#   other sessions do not decide the figures.
set -euo pipefail
. "$(dirname "$0")/lib.sh"
runs=5 data=/work/bench-data clean=0 priority=0 cold=0
gen=()
while [ $# -gt 0 ]; do
  case "$1" in
    --shape|--files|--total-gb|--file-mb) gen+=("$1" "$2"); shift ;;
    --small) gen+=(--files 2000 --total-gb 0.2) ;;
    --runs) runs=$2; shift ;;
    --cold) cold=1 ;;
    --data) data=$2; shift ;;
    --clean) clean=1 ;;
    --priority) priority=1 ;;
    -h|--help) sed -n '2,22p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

[ "$cold" -eq 0 ] || bench_cold_check
bench_build
bench_tree "$data" "${gen[@]}"

out=$(mktemp -d)
cleanup() {
  rm -rf "$out"
  bench_priority_restore
}
trap cleanup EXIT
[ "$priority" -eq 0 ] || bench_priority

declare -A cmd=(
  [twinlens]="'$cli' --compare content --min-size-mb 0 --max-groups 0 --quiet '$tree' >'$out/twinlens.csv'"
  [jdupes]="jdupes -r -q '$tree' >'$out/jdupes.txt'"
  # --without-fiemap: on a disk that says it rotates, rmlint otherwise reads each
  # file's extents to order its reads, which syncs the file first; its time then
  # follows whatever else writes to the disk (50 s to 250 s on 200 000 files).
  [rmlint]="rmlint -T df --without-fiemap -o fdupes:'$out/rmlint.txt' '$tree' >/dev/null"
  [fdupes]="fdupes -r -n -q '$tree' >'$out/fdupes.txt'" # -n: empty files are no duplicates
  [rdfind]="rdfind -makeresultsfile false '$tree' >/dev/null"
)
names=(twinlens jdupes rmlint fdupes rdfind)

if [ "$cold" -eq 1 ]; then
  timing=(--runs "$runs" --prepare "$drop_caches")
  how="cold: '$drop_caches' before each run"
else
  bench_warm "$tree"
  timing=(--runs "$runs" --warmup 1)
  how="warm, after one warm-up"
fi
echo "Timing ($runs runs each, $how) ..." >&2
args=()
for n in "${names[@]}"; do args+=(--command-name "$n" "${cmd[$n]}"); done
hyperfine --style basic "${timing[@]}" --export-json "$out/times.json" "${args[@]}" >&2

# Peak memory of one run each, and of Twinlens on nothing (its fixed cost).
for n in "${names[@]}"; do
  bench_rss "$out/$n.rss" "${cmd[$n]}" >"$out/$n.peak"
done
bench_base_rss "$out" >"$out/base.peak"
# The window-thread way of hashing, for the group check only.
"$cli" --serial --compare content --min-size-mb 0 --max-groups 0 --quiet "$tree" >"$out/serial.csv"

collected=$(find "$tree" -type f -size +0c | wc -l)
echo >&2
same=0
printf "Groups, Twinlens against jdupes: "
python3 "$bench_root/bench/compare_groups.py" "$out/twinlens.csv" "$out/jdupes.txt" || same=1
printf "Groups, Twinlens --serial against jdupes: "
python3 "$bench_root/bench/compare_groups.py" "$out/serial.csv" "$out/jdupes.txt" || same=1
for peer in fdupes rmlint; do
  printf "Twinlens against %s (for information): " "$peer"
  python3 "$bench_root/bench/compare_groups.py" --brief "$out/twinlens.csv" "$out/$peer.txt" || true
done

[ -n "$bench_restore_nice" ] && echo "(timed with this session's scheduling group at nice -20)"
python3 - "$out" "$collected" "$tree" "$cold" "${names[@]}" <<'PY'
import json, os, sys
out, collected, tree, cold, names = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4] == "1", sys.argv[5:]
times = {r["command"]: r for r in json.load(open(os.path.join(out, "times.json")))["results"]}
def rss(name):
    return int(open(os.path.join(out, name + ".peak")).read())
size = sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(tree) for f in fs)
peers = [n for n in names if n != "twinlens"]
fastest = min(peers, key=lambda n: times[n]["median"])
print()
print("Tree %s: %d non-empty files, %.2f GB, %s; %d CPUs; load %s" % (
    os.path.basename(tree), collected, size / 2**30,
    "cold cache (dropped before each run)" if cold else "warm cache",
    os.cpu_count(), " ".join(open("/proc/loadavg").read().split()[:3])))
print()
fastestMin = min(peers, key=lambda n: times[n]["min"])
print("| program | median s | min s | max s | median / fastest peer's (%s) | min / fastest peer's (%s) | peak RSS MB |" % (
    fastest, fastestMin))
print("|---|---:|---:|---:|---:|---:|---:|")
for n in names:
    t = times[n]
    print("| %s | %.3f | %.3f | %.3f | %.2f | %.2f | %.1f |" % (
        n, t["median"], t["min"], t["max"], t["median"] / times[fastest]["median"],
        t["min"] / times[fastestMin]["min"], rss(n) / 2**20))
base = rss("base")
print()
print("Twinlens memory: %.0f bytes per collected file (peak RSS %.1f MB less %.1f MB for an empty scan, over %d files)" % (
    (rss("twinlens") - base) / max(1, collected), rss("twinlens") / 2**20, base / 2**20, collected))
PY
[ "$clean" -eq 1 ] && rm -rf "$tree" "$tree.done"
exit $same
