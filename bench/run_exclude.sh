#!/usr/bin/env bash
# What an exclusion saves: a content scan of the projects tree (bench/gen_tree.py
# --shape projects: 1 500 projects, 60 000 of their 64 500 files in
# node_modules) by Twinlens and jdupes, each with and without leaving out
# node_modules, timed with hyperfine. Checks that Twinlens' groups with the
# exclusion are exactly jdupes' with its own.
#
#   bench/run_exclude.sh [--files N] [--data DIR] [--runs N]
#
# --files: files of the tree (43 a project; 64 500); --data: where the tree
# is made, outside the repository (/work/bench-data); --runs: timed runs of
# each command after two warm-ups (10).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

data=/work/bench-data
runs=10
gen=(--shape projects)
while [ $# -gt 0 ]; do
  case $1 in
    --files) gen+=(--files "$2"); shift ;;
    --data) data=$2; shift ;;
    --runs) runs=$2; shift ;;
    *) echo "usage: bench/run_exclude.sh [--files N] [--data DIR] [--runs N]" >&2; exit 2 ;;
  esac
  shift
done

bench_build
bench_tree "$data" "${gen[@]}"
bench_warm "$tree"

scan=("$cli" --compare content --min-size-mb 0 --max-groups 0 --quiet)
"${scan[@]}" --exclude node_modules "$tree" >"$data/exclude.csv"
jdupes -r -q -X nostr:node_modules "$tree" >"$data/exclude.jdupes"
python3 "$bench_root/bench/compare_groups.py" "$data/exclude.csv" "$data/exclude.jdupes"

hyperfine -N -w 2 -r "$runs" \
  -n "twinlens" "${scan[*]} $tree" \
  -n "twinlens --exclude node_modules" "${scan[*]} --exclude node_modules $tree" \
  -n "jdupes" "jdupes -r -q $tree" \
  -n "jdupes -X nostr:node_modules" "jdupes -r -q -X nostr:node_modules $tree"
