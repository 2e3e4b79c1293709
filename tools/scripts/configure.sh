#!/usr/bin/env bash
# Configures one of the project's builds by name, in build/NAME: the one place that says how each
# is made. Every script (test, run, package, benchmark, fuzz) configures through it.
# Usage: tools/scripts/configure.sh native|mingw|bench|fuzz|web
set -euo pipefail
cd "$(dirname "$0")/../.."
source=. wrap=()
case "${1:-}" in
  native) flags=(-DCMAKE_BUILD_TYPE=Debug -DTEV_SANITIZE=ON) ;;  # the tests, under ASan and UBSan
  mingw) flags=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake) ;;  # Windows
  bench) flags=(-DCMAKE_BUILD_TYPE=Release -DTEV_SANITIZE=OFF -DTEV_BENCH=ON) ;;  # optimised, no sanitizers
  fuzz) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTEV_FUZZ=ON -DTEV_BENCH=OFF) ;;
  # The page's WebAssembly module: Emscripten's own CMake, from web/.
  web) flags=(-DCMAKE_BUILD_TYPE=Release) source=web wrap=(emcmake) ;;
  *)
    echo "usage: tools/scripts/configure.sh native|mingw|bench|fuzz|web" >&2
    exit 2
    ;;
esac
"${wrap[@]}" cmake -S "$source" -B "build/$1" -G Ninja "${flags[@]}" >/dev/null
