#!/usr/bin/env bash
# The installer runs elevated from a Downloads folder: DLLs that are not known
# system DLLs must be delay-loaded (from the system folder only), never plain
# imports that the loader would resolve from the program's own folder first.
set -u
exe="$ZQ_BIN/zqdownloader.exe"
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
bad=0
for dll in wininet.dll gdiplus.dll msimg32.dll; do
  if grep -qx "$dll" <<<"$imports"; then
    echo "plain import of $dll: add the missing function to cmake/delayload/${dll%.dll}.def"
    x86_64-w64-mingw32-objdump -p "$exe" | awk -v d="$dll" 'tolower($0) ~ "dll name: " d {on=1; next} /DLL Name:/ {on=0} on && NF' | head -20
    bad=1
  fi
done
[ $bad = 0 ] && echo "installer imports: $(echo $imports | tr '\n' ' ')"
exit $bad
