#!/usr/bin/env bash
# zqtool path TEXT prints the install-path test, the normalised form and the
# folder rule's result.
set -u
tool="$ZQ_BIN/zqtool.exe"
fail=0
check() {  # text, expected output (three lines)
  out=$(wine "$tool" path "$1" 2>/dev/null | tr -d '\r')
  if [ "$out" != "$2" ]; then
    printf 'zqtool path [%s]\n got:\n%s\n expected:\n%s\n' "$1" "$out" "$2"
    fail=1
  fi
}
check 'C:/Games' $'valid 1\nnormalized c:\\games\nfolder C:\\Games\\zqplayer2\\'
check 'C:\' $'valid 0\nnormalized c:\nfolder C:\\Tessarin\\zqplayer2\\'
check 'c:\a\ \b' $'valid 0\nnormalized c:\\a\\ \\b\nfolder c:\\a\\ \\b\\zqplayer2\\'
check 'C:\Games\ZQPlayer2\' $'valid 1\nnormalized c:\\games\\zqplayer2\nfolder C:\\Games\\ZQPlayer2\\'
[ $fail = 0 ] && echo "zqtool path: ok"
exit $fail
