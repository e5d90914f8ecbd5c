#!/usr/bin/env bash
# Foundation benchmark, one command: bench/foundation/run.sh [BUILD_DIR]
#  (a) throughput of `zqtool md5` under Wine on a 1 GiB file against Linux
#      md5sum on the same file, interleaved runs, and their ratio;
#  (b) the median cost of one utility::log call with the common writer.
# Builds zqtool and log_bench in BUILD_DIR (default /work/main/build). Uses a
# Wine prefix of its own inside the build and ends its wine server at exit.
set -euo pipefail
SRC=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-/work/main/build}
RUNS=${RUNS:-3}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$SRC" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/toolchain-mingw.cmake" >/dev/null
fi
cmake --build "$BUILD" --target zqtool log_bench -j 2 >/dev/null

export WINEPREFIX="$BUILD/bench-wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zq-bench.XXXXXX")
cleanup() {
  rm -rf "$WORK"
  wineserver -k >/dev/null 2>&1 </dev/null || true
}
trap cleanup EXIT
q() { "$@" </dev/null >/dev/null 2>&1; }
if [ ! -f "$WINEPREFIX/.zq_ready" ]; then
  mkdir -p "$WINEPREFIX"
  q wineboot -i
  q wineserver -w
  touch "$WINEPREFIX/.zq_ready"
fi
q wineserver -p
q wine wineboot

ZQTOOL="$BUILD/bin/zqtool.exe"
FILE="$WORK/payload.bin"
WINFILE="Z:${FILE//\//\\}"
head -c $((1 << 30)) /dev/urandom >"$FILE"
BYTES=$(stat -c %s "$FILE")
cat "$FILE" >/dev/null  # warm the page cache
cat "$FILE" >/dev/null

seconds() {  # seconds COMMAND...: wall time of one run, output to $WORK/out
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >"$WORK/out" </dev/null
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f\n", b - a }'
}
median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

: >"$WORK/linux" && : >"$WORK/wine"
for _ in $(seq "$RUNS"); do
  seconds md5sum "$FILE" >>"$WORK/linux"
  linux_digest=$(cut -d' ' -f1 "$WORK/out")
  seconds wine "$ZQTOOL" md5 "$WINFILE" >>"$WORK/wine"
  wine_digest=$(tr -d '\r\n' <"$WORK/out")
done
if [ "$linux_digest" != "$wine_digest" ]; then
  echo "digests differ: md5sum $linux_digest, zqtool $wine_digest" >&2
  exit 1
fi
t_linux=$(median <"$WORK/linux")
t_wine=$(median <"$WORK/wine")
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }
mb_linux=$(calc "$BYTES / 1000000 / $t_linux")
mb_wine=$(calc "$BYTES / 1000000 / $t_wine")
printf 'md5 of 1 GiB, median of %d runs (digest %s)\n' "$RUNS" "$wine_digest"
printf '  md5sum (Linux):     %7.1f MB/s  (%.3f s)\n' "$mb_linux" "$t_linux"
printf '  zqtool md5 (Wine):  %7.1f MB/s  (%.3f s, Wine start-up included)\n' "$mb_wine" "$t_wine"
printf '  ratio zqtool/md5sum: %.3f  (target >= 0.9)\n' "$(calc "$mb_wine / $mb_linux")"
rm -f "$FILE"

wine "$BUILD/bin/log_bench.exe" "${LOG_CALLS:-20000}" </dev/null | tr -d '\r'
