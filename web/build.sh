#!/usr/bin/env bash
# Builds the page's WebAssembly module into build/web and lays the page out in build/web/site.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# Debian's emscripten finds its JavaScript helpers (acorn) where Debian's node keeps its modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
if [ ! -f build/web/build.ninja ]; then
  tools/scripts/configure.sh web
fi
cmake --build build/web -j2
site=build/web/site
rm -rf "$site"
mkdir -p "$site"
cp -r web/page/. "$site/"
cp build/web/tevusb.mjs build/web/tevusb.wasm "$site/"
# The try-it page: the same page with the simulated altimeter plugged in through the stand-in.
mkdir -p "$site/standin"
cp web/standin/hid-standin.js "$site/standin/"
sed 's|<script type="module" src="js/app.js"></script>|<script src="standin/hid-standin.js"></script>\n&|' \
  "$site/index.html" > "$site/try.html"
