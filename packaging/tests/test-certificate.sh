#!/usr/bin/env bash
# A throw-away self-signed code-signing certificate for the release tests: DIR/cert.pem (to verify
# against), DIR/cert.p12 (to sign with, password "flight").
#   test-certificate.sh DIR
set -euo pipefail
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=TEV USB test signing" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$1/key.pem" -out "$1/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$1/key.pem" -in "$1/cert.pem" -passout pass:flight -out "$1/cert.p12"
