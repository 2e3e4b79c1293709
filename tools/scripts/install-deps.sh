#!/usr/bin/env bash
# Installs what building and testing need, on a fresh Debian machine (run as root).
set -euo pipefail
packages=(g++ cmake ninja-build g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb xauth
          fonts-liberation googletest libgtest-dev libbenchmark-dev imagemagick ccache python3 librsvg2-bin
          chromium poppler-utils nsis zip unzip osslsigncode openssl emscripten)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
