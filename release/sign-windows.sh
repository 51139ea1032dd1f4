#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Signs a Windows program in place (Authenticode, osslsigncode) where the environment names
# the owner's key, with the commit's time (SOURCE_DATE_EPOCH):
#   TABULON_SIGN_PKCS12          a PKCS#12 file with the key and certificate, or
#   TABULON_SIGN_PKCS11_MODULE   a token's PKCS#11 module, with TABULON_SIGN_PKCS11_CERT
#                                (PEM) and TABULON_SIGN_PKCS11_KEY (a pkcs11: URI);
#   TABULON_SIGN_PASSWORD_FILE   the password or PIN;
#   TABULON_SIGN_TIMESTAMP_URL   an RFC 3161 time-stamping service;
#   TABULON_SIGN_DETACHED        a folder of signatures, NAME.p7 for the file NAME: written
#                                there by a key; without one, attached from there, checked
#   TABULON_SIGN_CA              against this CA certificate (default: the system's).
set -euo pipefail
file=${1:?usage: release/sign-windows.sh FILE [NAME]}
detached=${TABULON_SIGN_DETACHED:+$TABULON_SIGN_DETACHED/${2:-$(basename "$file")}.p7}

if [ -n "${TABULON_SIGN_PKCS12:-}" ]; then
    key=(-pkcs12 "$TABULON_SIGN_PKCS12")
elif [ -n "${TABULON_SIGN_PKCS11_MODULE:-}" ]; then
    key=(-pkcs11module "$TABULON_SIGN_PKCS11_MODULE" -certs "$TABULON_SIGN_PKCS11_CERT"
        -key "$TABULON_SIGN_PKCS11_KEY")
elif [ -n "$detached" ]; then
    osslsigncode attach-signature ${TABULON_SIGN_CA:+-CAfile "$TABULON_SIGN_CA"} -sigin "$detached" \
        -in "$file" -out "$file.signed" >&2 || {
        echo "sign-windows.sh: $detached does not sign this build of $file" >&2; exit 1; }
    mv "$file.signed" "$file"
    exit
else
    exit 0
fi
[ -z "${TABULON_SIGN_PASSWORD_FILE:-}" ] || key+=(-readpass "$TABULON_SIGN_PASSWORD_FILE")
[ -z "${TABULON_SIGN_TIMESTAMP_URL:-}" ] || key+=(-ts "$TABULON_SIGN_TIMESTAMP_URL")
[ -z "${SOURCE_DATE_EPOCH:-}" ] || key+=(-time "$SOURCE_DATE_EPOCH")
osslsigncode sign "${key[@]}" -h sha256 -n "Tabulon 2x2" -i https://tabulon2x2.invalid/ \
    -in "$file" -out "$file.signed" >&2
mv "$file.signed" "$file"
[ -z "$detached" ] || osslsigncode extract-signature -in "$file" -out "$detached" >&2
