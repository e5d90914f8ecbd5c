#!/usr/bin/env bash
# zqtool md5 FILE: the RFC 1321 suite digests with exit 0; an empty or
# missing file prints nothing and exits 1; wrong usage exits 2.
set -u
: "${ZQ_BIN:?}"
tool="$ZQ_BIN/zqtool.exe"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
winpath() { echo "Z:${1//\//\\}"; }
check() {  # check NAME EXPECTED_OUTPUT EXPECTED_RC FILE
  local out rc
  wine "$tool" md5 "$(winpath "$4")" </dev/null >"$work/out" 2>/dev/null
  rc=$?
  out=$(tr -d '\r' <"$work/out")
  if [ "$out" != "$2" ] || [ "$rc" != "$3" ]; then
    echo "FAIL $1: got '$out' rc=$rc, want '$2' rc=$3"
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}
i=0
while read -r digest text; do
  i=$((i + 1))
  printf '%s' "$text" >"$work/in$i"
  check "rfc1321 #$i" "$digest" 0 "$work/in$i"
done <<'CASES'
0cc175b9c0f1b6a831c399e269772661 a
900150983cd24fb0d6963f7d28e17f72 abc
f96b697d7cb7938d525a2f31aaf161d0 message digest
c3fcd3d76192e4007dfb496cca67e13b abcdefghijklmnopqrstuvwxyz
d174ab98d277d9f5a5611c2c9f419d9f ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789
57edf4a22be3c955ac49da2e2107b67a 12345678901234567890123456789012345678901234567890123456789012345678901234567890
CASES
: >"$work/empty"
check "empty file" "" 1 "$work/empty"
check "missing file" "" 1 "$work/missing"
wine "$tool" md5 </dev/null >/dev/null 2>&1
rc=$?
if [ "$rc" != 2 ]; then echo "FAIL usage: rc=$rc, want 2"; failures=$((failures + 1)); fi
exit $((failures > 0))
