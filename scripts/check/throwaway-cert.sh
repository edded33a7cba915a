#!/usr/bin/env bash
# A throwaway code-signing certificate and its key, into FOLDER/cert.pem and FOLDER/key.pem,
# valid two days: the Windows check signs the packages with it as the owner's certificate would
# sign them, and verifies every signature. CTest's setup of the fixture signing.
#   ./scripts/check/throwaway-cert.sh FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
folder=${1:?the folder for the certificate}
(. "$root/scripts/apt-install.sh" && apt_install openssl)
mkdir -p "$folder"
chmod 700 "$folder"
openssl req -x509 -newkey rsa:3072 -nodes -keyout "$folder/key.pem" -out "$folder/cert.pem" -days 2 \
  -subj "/CN=Pellavin CI throwaway/O=Varnholt Corp" -addext "extendedKeyUsage=codeSigning" \
  -addext "keyUsage=critical,digitalSignature" 2>/dev/null
openssl x509 -in "$folder/cert.pem" -noout -subject -enddate
