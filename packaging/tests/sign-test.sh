#!/usr/bin/env bash
# Signing the release: with a throw-away self-signed certificate every exe of it carries a
# signature that osslsigncode verifies (the chain is trusted through the certificate itself);
# without one it is built unsigned and says so.
#   sign-test.sh BUILD_DIR WORK_DIR VERSION
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 work=$2 version=$3
rm -rf "$work"; mkdir -p "$work"
failures=0
check() {
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

verifies() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >>"$work/verify.log" 2>&1; }

"$here/test-certificate.sh" "$work"

TEV_SIGN_PKCS12="$work/cert.p12" TEV_SIGN_PASSWORD=flight \
  "$here/../make-release.sh" "$build" "$work/signed" >"$work/signed.log" 2>&1
check "the signed release is made" grep -q "Signing with" "$work/signed.log"
unzip -q "$work/signed/TevUsb-$version-win64.zip" -d "$work/unzipped"
for exe in "$work/signed/TevUsb-$version-setup.exe" "$work/unzipped/TevUsb-$version-win64/TevUsb.exe" \
           "$work/unzipped/TevUsb-$version-win64/tevtool.exe"; do
  check "$(basename "$exe") verifies" verifies "$exe"
done

TEV_SIGN_PKCS12= "$here/../make-release.sh" "$build" "$work/unsigned" >"$work/unsigned.log" 2>&1
check "unsigned, and said so" grep -q "NOT signed" "$work/unsigned.log"
check "an unsigned exe does not verify" bash -c "! osslsigncode verify -in '$work/unsigned/TevUsb-$version-setup.exe' >/dev/null 2>&1"

TEV_SIGN_PKCS12="$work/missing.p12" "$here/../make-release.sh" "$build" "$work/bad" >"$work/bad.log" 2>&1
check "a certificate that cannot be read stops the release" test $? -ne 0 -a ! -e "$work/bad/TevUsb-$version-setup.exe"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
