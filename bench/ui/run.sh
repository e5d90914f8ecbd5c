#!/usr/bin/env bash
# Skinned window: time to build and first-paint "mainframe.xml" (window
# creation, layout parse, control tree, images decoded, double-buffered
# paint), as a ratio to a bare window created and painted in the same process.
#   bench/ui/run.sh [BUILD_DIR] [RUNS]
# Needs a display: uses $DISPLAY, else starts a private Xvfb.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
runs=${2:-20}
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

cmake --build "$build" --target ui_bench >"$tmp/build.log" 2>&1 || { cat "$tmp/build.log"; exit 1; }
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 99); do
    if [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      sleep 1
      break
    fi
  done
fi

out=$(wine "$build/bin/ui_bench.exe" mainframe.xml "$runs" | tr -d '\r')
val() { printf '%s\n' "$out" | awk -v k="$1" '$1 == k { print $2 }'; }
echo "layout: mainframe.xml ($(val window)), $(val runs) runs under Wine"
echo "bare window create + first paint: median $(val bare_us) us"
echo "skinned window build + first paint: median $(val skinned_us) us, best $(val skinned_min_us) us"
echo "ratio skinned / bare: $(val ratio)"
