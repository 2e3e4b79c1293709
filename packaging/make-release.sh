#!/usr/bin/env bash
# Makes the release files from a Windows build: the portable zip and the installer, each signed
# (the uninstaller inside the installer too) when a certificate is given.
#   make-release.sh BUILD_DIR OUT_DIR [VERSION]   (VERSION: the project's, from CMakeLists.txt)
# TEV_SIGN_PKCS12 names a PKCS#12 certificate (.p12/.pfx) to sign with, TEV_SIGN_PASSWORD its
# password (may be empty); without TEV_SIGN_PKCS12 everything is left unsigned, and said so.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
version=${3:-$(sed -n 's/^project(TevUsb VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")}
stage="$out/TevUsb-$version-win64"
zip="$out/TevUsb-$version-win64.zip"
setup="$out/TevUsb-$version-setup.exe"

export TEV_SIGN_NAME="TEV USB $version"
signer=()
sign() {  # $1 the file, signed in place
  [ -n "${TEV_SIGN_PKCS12:-}" ] || return 0
  "$here/sign.sh" "$1"
}

if [ -n "${TEV_SIGN_PKCS12:-}" ]; then
  [ -r "$TEV_SIGN_PKCS12" ] || { echo "TEV_SIGN_PKCS12: cannot read $TEV_SIGN_PKCS12" >&2; exit 1; }
  echo "Signing with $TEV_SIGN_PKCS12"
  # makensis signs the uninstaller from the script's folder.
  TEV_SIGN_PKCS12=$(realpath "$TEV_SIGN_PKCS12")
  export TEV_SIGN_PKCS12 TEV_SIGN_PASSWORD
  signer=(-DSIGN="$here/sign.sh")
else
  echo "No certificate given (TEV_SIGN_PKCS12): the programs and the installer are NOT signed."
fi

rm -rf "$stage" "$zip" "$setup"
mkdir -p "$stage"
cp "$build/app/TevUsb.exe" "$build/tools/tevtool/tevtool.exe" "$stage/"
# The read-me with Windows line ends, for Notepad.
sed 's/$/\r/' "$here/ReadMe.txt" > "$stage/ReadMe.txt"
sign "$stage/TevUsb.exe"
sign "$stage/tevtool.exe"

# Reproducible: the same times and order for the same files.
stamp=$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 1700000000)
touch -d "@$stamp" "$stage"/* "$stage"
(cd "$out" && TZ=UTC zip -X -q -r "$zip" "$(basename "$stage")")

makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$here/../resources/art/app.ico" \
  -DOUTFILE="$setup" "${signer[@]}" "$here/installer.nsi"
sign "$setup"
echo "Wrote $zip"
echo "Wrote $setup"
