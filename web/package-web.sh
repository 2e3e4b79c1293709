#!/usr/bin/env bash
# Writes the page as static files any web server can serve: web/package-web.sh DEST.
# The try-it page and its stand-in device are for tests and ./run --web, not for release.
set -euo pipefail
dest=$1
cd "$(dirname "$0")/.."
web/build.sh
rm -rf "$dest"
mkdir -p "$dest"
cp -r build/web/site/. "$dest/"
rm -rf "$dest/try.html" "$dest/standin"
echo "$dest: $(find "$dest" -type f | wc -l) files"
