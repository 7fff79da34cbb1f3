#!/usr/bin/env bash
# A certificate authority and a code-signing certificate made for one test
# run, so that the packages are signed as a release signs them and every
# signature can be checked against an authority: never for a release.
#   scripts/throwaway-signing.sh DIR
# DIR gets ca.pem (the authority), signing.p12 (certificate and key) and
# password; the last lines printed are the settings to export.
set -euo pipefail
dir=$(mkdir -p "$1" && cd "$1" && pwd)
password=throwaway-$$
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Headwright throwaway CA" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
  -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=Headwright test signer" \
  -keyout "$dir/signing.key" -out "$dir/signing.csr" 2>/dev/null
printf '%s\n' basicConstraints=CA:FALSE keyUsage=critical,digitalSignature extendedKeyUsage=codeSigning \
  > "$dir/signing.ext"
openssl x509 -req -in "$dir/signing.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" -CAcreateserial \
  -days 30 -sha256 -extfile "$dir/signing.ext" -out "$dir/signing.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$dir/signing.key" -in "$dir/signing.pem" -certfile "$dir/ca.pem" \
  -passout "pass:$password" -out "$dir/signing.p12"
printf '%s\n' "$password" > "$dir/password"
echo "HEADWRIGHT_SIGNING_CERT=$dir/signing.p12"
echo "HEADWRIGHT_SIGNING_PASSWORD=$password"
echo "HEADWRIGHT_SIGNING_CA=$dir/ca.pem"
