#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
# Exits non-zero on any failure; ctest's summary is the last thing printed.
# Usage: scripts/test.sh [ctest arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${ZQ_BUILD_DIR:-$here/build}"
"$here/scripts/deps.sh" >/dev/null

cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw.cmake" >/dev/null
cmake --build "$build" -- -k 0 2>&1 | grep -v '^\[' || true
cmake --build "$build" >/dev/null   # fails the script if anything did not build

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
. "$here/scripts/xvfb.sh"
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  zq_xvfb_stop
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || [ -n "${ZQ_OWN_DISPLAY:-}" ]; then
  zq_xvfb_start 91 120
fi

cd "$build"
# ctest itself is bounded: every test has its own time-out, and the whole run
# is cut off well inside CI's limit.
timeout -k 30 4500 ctest --output-on-failure -j "${ZQ_TEST_JOBS:-2}" "$@" </dev/null
