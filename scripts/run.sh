#!/usr/bin/env bash
# The main job: installs what is missing, builds the installer and its
# stand-ins, starts the vendor-service simulator on 127.0.0.1:18080 and runs
# the installer under Wine: on the user's display when DISPLAY is set, else
# on a virtual one. Everything it started is stopped when it ends.
#
# Usage: scripts/run.sh [--auto] [--name FILE.exe] [--shots DIR]
#   --auto        click through a whole install by itself (fresh registry key
#                 and default folder) and save a screenshot of each step
#   --name FILE   run the installer under this file name, e.g. a channel
#                 name such as x_com.example.game_123456.exe
#   --shots DIR   where --auto saves its screenshots (default: a new folder
#                 under <build>/run/, printed at the end)
# Environment: ZQ_BUILD_DIR (default <repo>/build).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${ZQ_BUILD_DIR:-$here/build}"

"$here/scripts/deps.sh" >/dev/null
cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchain-mingw.cmake" >/dev/null
cmake --build "$build" --target zqdownloader zq_fixtures >/dev/null

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export ZQ_BUILD="$build" ZQ_BIN="$build/bin" ZQ_SOURCE="$here"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 121 160); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    break
  done
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
  echo "no DISPLAY: running on a virtual display $DISPLAY"
fi
bash "$here/tests/wine_env.sh" start >/dev/null

python3 "$here/tests/e2e/main_job.py" "$@"
