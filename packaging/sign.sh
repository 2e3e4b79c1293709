#!/usr/bin/env bash
# Signs one file in place with the release's certificate: TEV_SIGN_PKCS12 (and TEV_SIGN_PASSWORD),
# described as TEV_SIGN_NAME. make-release.sh signs the programs and the installer with it, and
# makensis the uninstaller, which it makes inside the installer.
#   sign.sh FILE
set -euo pipefail
osslsigncode sign -pkcs12 "$TEV_SIGN_PKCS12" -pass "${TEV_SIGN_PASSWORD:-}" \
  -n "${TEV_SIGN_NAME:-TEV USB}" -h sha256 -in "$1" -out "$1.signed" >/dev/null
mv "$1.signed" "$1"
