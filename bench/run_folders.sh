#!/usr/bin/env bash
# Folder clone detection on generated trees of growing size: time, CPU, peak
# memory and the number of groups, checked against the count the generator
# expects. Shows how the run grows with the number of directories.
#
#   bench/run_folders.sh [DIRS...]        (default: 50000 100000)
#
# Environment: BENCH_DATA_FOLDERS (default /work/bench-data-folders) holds the
# trees, outside the repository; it is deleted at the end unless KEEP=1.
# RUNS (default 3) timed runs per tree, after one warm-up run; the median is
# printed. TWINLENS_BUILD_DIR as for scripts/build.sh.
#
# Every run of twinlens-cli also collects files (the Scan command always does);
# a run with --no-files alone measures that part, and the difference is the
# folder clone detection itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
data=${BENCH_DATA_FOLDERS:-/work/bench-data-folders}
runs=${RUNS:-3}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(50000 100000)

"$root/scripts/deps.sh" bench
"$root/scripts/build.sh" --target twinlens-cli >/dev/null
cli=${TWINLENS_BUILD_DIR:-$root/build}/twinlens-cli

cleanup() { [ "${KEEP:-0}" = 1 ] || rm -rf "$data"; }
trap cleanup EXIT
mkdir -p "$data"

# One timed run: prints "wall cpu peakKB" and leaves the CSV in $data/out.csv.
measure() {
    local log="$data/time.log"
    /usr/bin/time -v -o "$log" "$cli" "$@" >"$data/out.csv"
    awk -F': ' '
        /Elapsed \(wall clock\)/ { n = split($2, t, ":"); w = 0; for (i = 1; i <= n; i++) w = w * 60 + t[i] }
        /User time/ { u = $2 } /System time/ { s = $2 } /Maximum resident/ { m = $2 }
        END { printf "%.2f %.2f %d\n", w, u + s, m }' "$log"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-9s %-8s %-8s %-9s %-9s %-9s %-9s %-9s\n' dirs groups expected wall_s cpu_s peak_MB base_cpu folder_cpu
declare -A folderCpu
for n in "${sizes[@]}"; do
    tree="$data/dirs-$n"
    if [ ! -f "$tree.expect" ]; then
        rm -rf "$tree"
        python3 "$root/bench/gen_dirs.py" --dirs "$n" --out "$tree" --seed 1 --expect >"$tree.expect"
    fi
    expected=$(cat "$tree.expect")
    dirs=$(find "$tree" -type d | wc -l)
    args=(--no-files --folders --max-groups 0 --quiet "$tree")
    measure "${args[@]}" >/dev/null # warm-up: the tree's metadata in the cache
    walls=() cpus=() peaks=() bases=()
    for ((i = 0; i < runs; i++)); do
        read -r w c m < <(measure "${args[@]}")
        walls+=("$w") cpus+=("$c") peaks+=("$m")
        groups=$(tail -n 1 "$data/out.csv" | cut -d, -f1 | tr -d '"')
        [ "$groups" = "$expected" ] || { echo "run_folders.sh: $groups groups, expected $expected" >&2; exit 1; }
        read -r _ c _ < <(measure --no-files --quiet "$tree")
        bases+=("$c")
    done
    wall=$(printf '%s\n' "${walls[@]}" | median)
    cpu=$(printf '%s\n' "${cpus[@]}" | median)
    peak=$(printf '%s\n' "${peaks[@]}" | median)
    base=$(printf '%s\n' "${bases[@]}" | median)
    folderCpu[$n]=$(awk -v a="$cpu" -v b="$base" 'BEGIN { printf "%.2f", a - b }')
    printf '%-9s %-8s %-8s %-9s %-9s %-9s %-9s %-9s\n' "$dirs" "$groups" "$expected" "$wall" "$cpu" \
        "$(awk -v k="$peak" 'BEGIN { printf "%.1f", k / 1024 }')" "$base" "${folderCpu[$n]}"
done

# Linear growth: the folder part's CPU time per directory stays about the same.
if [ ${#sizes[@]} -ge 2 ]; then
    first=${sizes[0]} last=${sizes[-1]}
    awk -v a="${folderCpu[$first]}" -v b="${folderCpu[$last]}" -v na="$first" -v nb="$last" \
        'BEGIN { if (a > 0) printf "folder CPU ratio %s/%s dirs: %.2f for a size ratio of %.2f\n", nb, na, b / a, nb / na }'
fi
