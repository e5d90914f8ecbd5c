#!/usr/bin/env bash
# Installs the Debian packages the build and tests need, and fetches the
# LZMA SDK sources into the build cache. Idempotent; apt-get update runs at
# most once per invocation, and only when something is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cache="${ZQ_DEPS_CACHE:-$here/.cache/deps}"
pkgs=(g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb xauth xdotool 7zip
      rapidjson-dev googletest imagemagick librsvg2-bin fonts-wqy-microhei nginx curl
      cmake ninja-build python3 dpkg-dev)
sudo_=""
[ "$(id -u)" = 0 ] || sudo_="sudo"
updated=0
apt_update() { [ $updated = 1 ] || { $sudo_ apt-get update -qq; updated=1; }; }

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  apt_update
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# LZMA SDK C sources from the 7zip source package.
mkdir -p "$cache"
if [ ! -f "$cache/lzma/C/LzmaDec.c" ]; then
  src=/etc/apt/sources.list.d/debian.sources
  dst=/etc/apt/sources.list.d/debian-src.sources
  if [ -f "$src" ] && [ ! -f "$dst" ]; then
    sed 's/^Types: deb$/Types: deb-src/' "$src" | $sudo_ tee "$dst" >/dev/null
    updated=0
  fi
  apt_update
  ( cd "$cache" && rm -rf dl && mkdir dl && cd dl && apt-get source --download-only 7zip >/dev/null 2>&1 )
  orig=$(ls "$cache"/dl/7zip_*.orig.tar.* | head -n1)
  rm -rf "$cache/lzma.tmp" && mkdir -p "$cache/lzma.tmp"
  tar xf "$orig" -C "$cache/lzma.tmp"
  top=$(dirname "$(find "$cache/lzma.tmp" -path '*/C/LzmaDec.c' | head -n1)")
  rm -rf "$cache/lzma" && mkdir -p "$cache/lzma" && mv "$top" "$cache/lzma/C"
  rm -rf "$cache/lzma.tmp" "$cache/dl"
fi
echo "deps ok: LZMA SDK in $cache/lzma/C"
