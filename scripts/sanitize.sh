#!/usr/bin/env bash
# Builds and runs the tests under sanitizers, each kind in a build folder of
# its own.
#   scripts/sanitize.sh [address|thread] [ctest arguments...]
# address (the default): AddressSanitizer and UndefinedBehaviorSanitizer over
# every test, in build-asan/. thread: ThreadSanitizer over the tests that run
# threads (hashing, the scan run), in build-tsan/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-address}
[ $# -gt 0 ] && shift
"$root/scripts/deps.sh" test
case "$kind" in
  address)
    build=${TWINLENS_ASAN_BUILD_DIR:-$root/build-asan}
    sanitize="address;undefined"
    targets=()
    tests=()
    ;;
  thread)
    build=${TWINLENS_TSAN_BUILD_DIR:-$root/build-tsan}
    sanitize="thread"
    targets=(--target tst_engine_hashing tst_engine_scanrun)
    tests=(-R '^tst_engine_(hashing|scanrun)$')
    ;;
  *)
    echo "usage: $0 [address|thread] [ctest arguments...]" >&2
    exit 2
    ;;
esac
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DTWINLENS_SANITIZE=$sanitize" >/dev/null
cmake --build "$build" "${targets[@]}"

supp=$root/scripts/sanitizers
# A report ends the program with a failing status, so it fails the test that
# met it (twinlens-cli run by its tests inherits these too). Leak detection
# stays on: no leak of Qt's has needed leaving out so far.
export ASAN_OPTIONS="halt_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export TSAN_OPTIONS="halt_on_error=1:exitcode=66:suppressions=$supp/tsan.supp${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "${tests[@]}" "$@"
