#!/usr/bin/env bash
# Configures and builds into build/ (or $TWINLENS_BUILD_DIR), with the CMake
# options in $TWINLENS_CMAKE_ARGS (e.g. -DTWINLENS_UPDATE_CHECK=OFF).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWINLENS_BUILD_DIR:-$root/build}
# shellcheck disable=SC2086 # the options are words
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${TWINLENS_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" "$@"
