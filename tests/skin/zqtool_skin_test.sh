#!/usr/bin/env bash
# zqtool skin lists what the extraction delivers and exits 0 only on success;
# zqtool lang prints a table's text for an ID and exits 1 for an unknown one.
set -u
fx="$1"
tool="$ZQ_BIN/zqtool.exe"
fail=0
# Runs zqtool; sets out (stdout without CRs) and rc (its exit code).
run() { out=$(wine "$tool" "$@" 2>/dev/null); rc=$?; out=$(printf '%s' "$out" | tr -d '\r'); }
check() { if [ "$1" != "$2" ]; then echo "FAIL: $3"; echo " got:  $1"; echo " want: $2"; fail=1; fi; }

for a in lzma2 bcj multi crc longpath; do
  run skin "$fx/$a.7z"
  check "$out" "$(cat "$fx/$a.7z.expected")" "skin $a.7z output"
  want=0; [ "$a" = crc ] && want=1
  check "$rc" "$want" "skin $a.7z exit code"
done
run skin "$fx/garbage.7z"
check "$out/$rc" "result 1014/1" "skin garbage.7z"

tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
printf '\xff\xfe' > "$tmp/t.txt"
printf 'Class\tID\t中文简体\tEnglish\t\t\r\nButton\tconfirm\t确定\t"Confirm"\t\t\r\n' |
  iconv -f UTF-8 -t UTF-16LE >> "$tmp/t.txt"
run lang "$tmp/t.txt" confirm
check "$out/$rc" "确定/0" "lang column 0"
run lang "$tmp/t.txt" confirm 1
check "$out/$rc" "Confirm/0" "lang column 1 strips the quotes"
run lang "$tmp/t.txt" missing
check "$out/$rc" "/1" "lang unknown ID"
exit $fail
