#!/usr/bin/env bash
# start: create the prefix if needed, add the CJK font substitutes, and leave
#        a persistent wine server running. stop: end every wine process of it.
# Wine's helper processes must not inherit our pipes, or ctest waits for them.
set -u
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
q() { "$@" </dev/null >/dev/null 2>&1; }
case "${1:-start}" in
start)
  # A prefix counts as ready only when Wine's own DLLs are in it: a wineboot
  # that ended early leaves a skeleton in which every program fails to load.
  if [ ! -f "$WINEPREFIX/.zq_ready" ] || [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
    for attempt in 1 2 3; do
      q wineserver -k
      case "$WINEPREFIX" in */wineprefix) rm -rf "$WINEPREFIX" ;; esac
      mkdir -p "$WINEPREFIX"
      q wineboot -i
      q wineserver -w
      [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] || { echo "wineboot attempt $attempt left no system folder"; continue; }
      reg="$WINEPREFIX/../zq_fonts.reg"
      printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"微软雅黑"="WenQuanYi Micro Hei"\r\n"Microsoft YaHei"="WenQuanYi Micro Hei"\r\n' |
        iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
      q wine regedit "$reg"
      q wineserver -w
      touch "$WINEPREFIX/.zq_ready"
      break
    done
    [ -f "$WINEPREFIX/.zq_ready" ] || { echo "could not create the wine prefix $WINEPREFIX"; exit 1; }
  fi
  q wineserver -p
  q wine wineboot
  echo "wine prefix ready: $WINEPREFIX"
  ;;
stop)
  q wineserver -k
  echo "wine server stopped"
  ;;
esac
exit 0
