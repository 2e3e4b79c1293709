#!/usr/bin/env bash
# Builds the page and serves it on 127.0.0.1 (port TEV_WEB_PORT, default 47080): opens the try-it
# page in headless Chromium with the simulated altimeter plugged in through the stand-in, reads its
# flights and saves a screenshot (build/web/run-web.png); from a terminal it then keeps serving, so
# that a person can open the page in their own browser.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -eq 0 ]; then tools/scripts/install-deps.sh; fi
web/build.sh
if [ ! -d tests/web/node_modules/puppeteer-core ]; then
  (cd tests/web && npm ci --no-audit --no-fund >/dev/null)
fi
port=${TEV_WEB_PORT:-47080}
shot="$(pwd)/build/web/run-web.png"
if [ -t 0 ]; then
  exec node tests/web/try-page.mjs "$port" "$shot" --serve
fi
node tests/web/try-page.mjs "$port" "$shot"
