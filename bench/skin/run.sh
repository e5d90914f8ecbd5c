#!/usr/bin/env bash
# Skin archive extraction: time to extract the skin archive into the store,
# as ratios to peers measured in the same run, and the archive's size.
#   bench/skin/run.sh [BUILD_DIR] [RUNS]
# Uses BUILD_DIR/resources/skin.7z (the product's skin) when it can be built,
# else (or with ZQ_BENCH_STANDIN=1) a stand-in of the shipped proportions.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build}" && pwd)
runs=${2:-30}
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

cmake --build "$build" --target skin_bench >"$tmp/build.log" 2>&1 || { cat "$tmp/build.log"; exit 1; }
archive="$build/resources/skin.7z"
if [ "${ZQ_BENCH_STANDIN:-0}" != 1 ] &&
   cmake --build "$build" --target zq_skin_archive >/dev/null 2>&1 && [ -s "$archive" ]; then
  kind="product skin"
else
  kind="stand-in (64 files)"
  python3 "$here/make_bench_archive.py" "$tmp/stage"
  (cd "$tmp/stage" && 7zz a -t7z -m0=lzma2 -mx=9 -bso0 -bsp0 "$tmp/skin.7z" .)
  archive="$tmp/skin.7z"
fi

out=$(wine "$build/bin/skin_bench.exe" "$archive" "$runs" | tr -d '\r')
val() { printf '%s\n' "$out" | awk -v k="$1" '$1 == k { print $2 }'; }

# Native peer: 7zz decoding and checking the same archive, whole process.
peer=()
for _ in $(seq "$runs"); do
  t0=$(date +%s%N); 7zz t -bso0 -bsp0 "$archive"; t1=$(date +%s%N)
  peer+=($(( (t1 - t0) / 1000 )))
done
peer_us=$(printf '%s\n' "${peer[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int(NR / 2) + 1] }')

echo "skin archive: $kind"
echo "archive size: $(val archive_bytes) bytes ($(val files) files, $(val unpacked_bytes) bytes unpacked)"
echo "extract into store (under Wine, $runs runs): median $(val extract_us) us, best $(val extract_min_us) us"
echo "peer memcpy of the unpacked bytes: $(val memcpy_us) us"
echo "peer 7zz t, native process: $peer_us us"
awk -v e="$(val extract_us)" -v m="$(val memcpy_us)" -v p="$peer_us" 'BEGIN {
  printf "ratio extract / memcpy: %.1f\n", e / (m > 0 ? m : 0.1)
  printf "ratio extract / 7zz t process: %.2f\n", e / p }'
