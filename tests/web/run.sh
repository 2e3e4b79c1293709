#!/usr/bin/env bash
# The browser tests: builds the page's module and site, makes the native tools' reference files,
# and runs tests/web/*.test.mjs in Debian's headless Chromium.
# Needs build/native's tevtool and altimeter-sim (./test builds them first).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
web/build.sh
if [ ! -d tests/web/node_modules/puppeteer-core ]; then
  (cd tests/web && npm ci --no-audit --no-fund >/dev/null)
fi
port=${TEV_BASE_PORT:-48500}
tests/web/reference.sh build/native/tools/tevtool/tevtool build/native/tools/altimeter-sim/altimeter-sim \
  build/web/reference "$((port + 1))"
export TEV_WEB_PORT=$((port + 50))
cd tests/web
node --test --test-concurrency=1 page.test.mjs
