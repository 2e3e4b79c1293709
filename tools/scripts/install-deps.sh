#!/usr/bin/env bash
# Installs what building and testing need, on a fresh Debian machine: the one way every script
# (test, run, package, benchmark, fuzz) gets its packages. As root it installs what is missing;
# otherwise through sudo where there is one, else it says what is missing and goes on.
# Usage: tools/scripts/install-deps.sh [--fuzz]   (--fuzz: also clang and libFuzzer, for ./fuzz)
set -euo pipefail
packages=(g++ cmake ninja-build g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb xauth
          fonts-liberation googletest libgtest-dev libbenchmark-dev imagemagick ccache python3 librsvg2-bin
          chromium poppler-utils nsis zip unzip osslsigncode openssl emscripten)
if [ "${1:-}" = "--fuzz" ]; then packages+=(clang libclang-rt-dev); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})) && [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then exec sudo "$0" "$@"; fi
  echo "Not root and no sudo: could not install ${missing[*]}; trying with what is there."
  exit 0
fi
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
