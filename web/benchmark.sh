#!/usr/bin/env bash
# The page's figures (tests/web/benchmark.mjs), against the Release tevtool of build/bench.
set -euo pipefail
cd "$(dirname "$0")/.."
web/build.sh >/dev/null
if [ ! -d tests/web/node_modules/puppeteer-core ]; then
  (cd tests/web && npm ci --no-audit --no-fund >/dev/null)
fi
tevtool=build/bench/tools/tevtool/tevtool
if [ ! -x "$tevtool" ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEV_SANITIZE=OFF -DTEV_BENCH=ON >/dev/null
  cmake --build build/bench -j2 --target tevtool >/dev/null
fi
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) (2 cores; other people's builds count)"
node tests/web/benchmark.mjs "${TEV_WEB_PORT:-47090}" "$(pwd)/$tevtool"
