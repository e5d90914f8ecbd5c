#!/usr/bin/env bash
# Installer benchmark: start-up to first paint as a ratio to a bare Win32
# window started the same way, install click to installer start with the
# payload on 127.0.0.1, and the installer's size.
#   bench/app/run.sh [BUILD_DIR] [ROUNDS]
# Uses $DISPLAY, else a private Xvfb. Holds the simulator's port 18080 and
# the prefix's single-instance mutex: do not run it beside the e2e tests.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
rounds=${2:-5}
cmake --build "$build" --target zqdownloader zq_fixtures app_bench_bare_window >/dev/null
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export ZQ_BUILD="$build" ZQ_BIN="$build/bin" ZQ_SOURCE="$here/../.."
bash "$here/../../tests/wine_env.sh" start >/dev/null
python3 "$here/measure.py" "$rounds"
