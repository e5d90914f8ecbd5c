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
. "$here/scripts/xvfb.sh"
trap zq_xvfb_stop EXIT
if [ -z "${DISPLAY:-}" ]; then
  zq_xvfb_start 121 160
  echo "no DISPLAY: running on a virtual display $DISPLAY"
fi
bash "$here/tests/wine_env.sh" start >/dev/null

python3 "$here/tests/e2e/main_job.py" "$@"
