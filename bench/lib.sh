# Shared by bench/run.sh and bench/run_scale.sh (sourced, not run): the
# Release build, generated trees, the page cache, the scheduling weight and
# peak memory. The caller sets -euo pipefail.

bench_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Installs the peers and builds twinlens-cli in Release into build-bench/;
# sets cli. The build waits for other builds holding the same lock, so that a
# shared machine builds one thing at a time.
bench_build() {
  "$bench_root/scripts/deps.sh" bench
  local build=$bench_root/build-bench
  local lock=${TWINLENS_BUILD_LOCK:-/tmp/twinlens-build.lock}
  flock "$lock" cmake -S "$bench_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  flock "$lock" cmake --build "$build" --target twinlens-cli >/dev/null
  cli=$build/twinlens-cli
}

# bench_tree DATA GEN_TREE_OPTIONS...: makes the tree for these options in
# DATA once and sets tree. The stamp beside the tree (where no program scans
# it) holds the generator's digest and the options; a tree whose stamp differs
# is made again.
bench_tree() {
  local data=$1
  shift
  local name disk
  read -r name disk < <(python3 "$bench_root/bench/gen_tree.py" --print-options "$@")
  mkdir -p "$data"
  tree=$data/$name
  local stamp=$tree.done
  local want
  want="$(sha1sum <"$bench_root/bench/gen_tree.py" | cut -d' ' -f1) $name"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
    return 0
  fi
  rm -rf "$tree" "$stamp"
  local need_kb=$((disk / 1024 + 1048576)) # and 1 GB to spare
  local avail_kb
  avail_kb=$(df --output=avail -k "$data" | tail -1)
  if [ "$avail_kb" -lt "$need_kb" ]; then
    echo "bench: $data has $((avail_kb / 1024)) MB free, the tree $name needs $((need_kb / 1024)) MB" >&2
    exit 1
  fi
  echo "Generating $tree ..." >&2
  python3 "$bench_root/bench/gen_tree.py" "$tree" "$@"
  echo "$want" >"$stamp"
}

# Cold runs drop the page cache (and dentries and inodes) before each timed
# run. bench_cold_check refuses unless that is allowed here; it drops the
# cache once to find out.
drop_caches='sync; echo 3 > /proc/sys/vm/drop_caches'
bench_cold_check() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "bench: --cold drops the page cache and needs root" >&2
    exit 2
  fi
  if ! { [ -w /proc/sys/vm/drop_caches ] && bash -c "$drop_caches" 2>/dev/null; }; then
    echo "bench: --cold: /proc/sys/vm/drop_caches cannot be written here" >&2
    exit 2
  fi
}

# Reads every file of the tree twice, so that warm runs read from memory.
bench_warm() {
  echo "Warming the cache ..." >&2
  find "$1" -type f -print0 | xargs -0 cat >/dev/null
  find "$1" -type f -print0 | xargs -0 cat >/dev/null
}

# --priority: nice values only weigh inside a session's scheduling group;
# between groups the group's own nice decides. bench_priority raises this
# session's group to the highest weight (root), bench_priority_restore puts it
# back.
bench_autogroup=/proc/$$/autogroup
bench_restore_nice=""
bench_priority() {
  if [ -w "$bench_autogroup" ]; then
    bench_restore_nice=$(sed -n 's/.* nice //p' "$bench_autogroup")
    echo -20 >"$bench_autogroup"
  fi
}
bench_priority_restore() {
  [ -n "$bench_restore_nice" ] && echo "$bench_restore_nice" >"$bench_autogroup" 2>/dev/null
  return 0
}

# bench_rss OUTPUT COMMAND: runs the shell command once under /usr/bin/time
# and prints its peak resident set size in bytes.
bench_rss() {
  /usr/bin/time -v -o "$1" bash -c "$2"
  echo $(($(sed -n 's/.*Maximum resident set size (kbytes): //p' "$1") * 1024))
}

# Twinlens' fixed cost in memory: peak RSS of a scan of an empty folder.
bench_base_rss() {
  mkdir -p "$1/empty"
  bench_rss "$1/base.rss" "'$cli' --quiet --min-size-mb 0 '$1/empty' >/dev/null"
}
