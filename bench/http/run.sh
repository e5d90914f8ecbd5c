#!/usr/bin/env bash
# HTTP client benchmark: nginx on 127.0.0.1 serves a 10 MiB and a 1 GiB
# file; zqtool get --out (WinINet and --socket), the bare loops over the same
# APIs and curl download them in turn; prints throughput, the ratio of each
# connection type to its bare loop, and peak memory.
#   bench/http/run.sh [BUILD_DIR] [ROUNDS]
# Needs zqtool and http_bare_loop built in BUILD_DIR.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
rounds=${2:-3}
for exe in "$build/bin/zqtool.exe" "$build/bin/bench/http_bare_loop.exe"; do
  [ -f "$exe" ] || { echo "missing $exe: build zqtool and http_bare_loop" >&2; exit 2; }
done
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

work=$(mktemp -d "$build/bench_http.XXXXXX")
chmod 755 "$work"
mkdir -p "$work/www" "$work/tmp"
# Downloads land in memory when it can hold them: disk write-back of one run
# would slow down the next.
if [ -d /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR==2 {print $4}')" -gt 3000000 ]; then
  out=$(mktemp -d /dev/shm/zq_bench_http.XXXXXX)
else
  out="$work/out"
  mkdir -p "$out"
fi
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
sed "s|@DIR@|$work|g; s|@PORT@|$port|g" "$here/nginx.conf" > "$work/nginx.conf"

watchdog=""
cleanup() {
  [ -f "$work/nginx.pid" ] && nginx -p "$work" -c "$work/nginx.conf" -e "$work/error.log" -s stop 2>/dev/null || true
  [ -n "$watchdog" ] && kill "$watchdog" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work" "$out"
}
trap cleanup EXIT

echo "making the files..."
head -c 10M /dev/urandom > "$work/www/small.bin"
head -c 1G /dev/urandom > "$work/www/big.bin"
chmod 644 "$work/www/"*.bin

nginx -p "$work" -c "$work/nginx.conf" -e "$work/error.log"
# nginx stops by itself after an hour even if this script is killed; the
# watchdog ends as soon as nginx is gone.
python3 - "$work/nginx.pid" </dev/null >/dev/null 2>&1 <<'PY' &
import os, signal, sys, time
pid_file, deadline = sys.argv[1], time.time() + 3600
while os.path.exists(pid_file) and time.time() < deadline:
    time.sleep(1)
if os.path.exists(pid_file):
    os.kill(int(open(pid_file).read()), signal.SIGTERM)
PY
watchdog=$!
( wineserver -p; wine wineboot ) </dev/null >/dev/null 2>&1 || true  # may run already

echo "nginx on 127.0.0.1:$port; $rounds rounds of the 1 GiB file"
python3 "$here/measure.py" "$build/bin" "$work" "$port" "$rounds" "$out"
