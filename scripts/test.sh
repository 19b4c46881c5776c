#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs every test.
#   scripts/test.sh                     the default build (Debug) and all tests
#   scripts/test.sh --sanitize address  the same under AddressSanitizer + UndefinedBehaviorSanitizer
#   scripts/test.sh --sanitize thread   the same under ThreadSanitizer
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
sanitize=""
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) sanitize="$2"; shift 2 ;;
    --skip-setup) skip_setup=1; shift ;;
    *) echo "usage: scripts/test.sh [--sanitize address|thread] [--skip-setup]" >&2; exit 2 ;;
  esac
done

[ -n "${skip_setup:-}" ] || bash "$here/scripts/setup.sh"

build="$here/build${sanitize:+-$sanitize}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DNORLA_SANITIZE="$sanitize" >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" ${NORLA_CTEST_ARGS:-}
