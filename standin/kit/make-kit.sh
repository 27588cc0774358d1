#!/usr/bin/env bash
# Stands in for the kit's installer: makes the kit's folders, a test CA and the signing keys.
# Copyright (C) 2026 Tamarek
# SPDX-License-Identifier: GPL-3.0-only
#
#   make-kit.sh KIT_DIR
#
# Makes only what is missing or no longer fits (a certificate that the current
# CA did not issue or that does not belong to its key), so it is safe to run
# on every build. Nothing here is a real secret: the keys are for tests.
set -euo pipefail

kit=${1:?usage: make-kit.sh KIT_DIR}
mkdir -p "$kit"/{home/.orvsdk,workspace/keys,sdk/package-signing,ca}
ca=$kit/ca
keys=$kit/workspace/keys
days=3650

quiet() {
    local log
    log=$("$@" 2>&1) || { printf '%s\n' "$log" >&2; return 1; }
}

make_key() { # FILE
    [ -s "$1" ] && return 0
    quiet openssl genpkey -algorithm rsa -pkeyopt rsa_keygen_bits:2048 -out "$1"
    chmod 600 "$1"
}

if ! [ -s "$ca/ca-cert.pem" ] || ! [ -s "$ca/ca-key.pem" ]; then
    rm -f "$ca/ca-cert.pem" "$ca/ca-key.pem"
    make_key "$ca/ca-key.pem"
    quiet openssl req -x509 -new -key "$ca/ca-key.pem" -out "$ca/ca-cert.pem" -days "$days" \
        -subj "/O=Tamarek Test/CN=Tamarek Test CA" \
        -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign
fi

fits() { # CERT KEY
    [ -s "$1" ] &&
        openssl verify -CAfile "$ca/ca-cert.pem" -purpose any "$1" >/dev/null 2>&1 &&
        [ "$(openssl x509 -in "$1" -noout -pubkey)" = "$(openssl pkey -in "$2" -pubout)" ]
}

issue() { # CERT KEY SUBJECT
    fits "$1" "$2" && return 0
    local csr
    csr=$(mktemp)
    quiet openssl req -new -key "$2" -subj "$3" -out "$csr"
    quiet openssl x509 -req -in "$csr" -CA "$ca/ca-cert.pem" -CAkey "$ca/ca-key.pem" \
        -CAcreateserial -CAserial "$ca/ca-cert.srl" -days "$days" -out "$1" \
        -extfile <(printf 'basicConstraints=CA:FALSE\nkeyUsage=digitalSignature\n')
    rm -f "$csr"
}

make_key "$keys/developer-key.pem"
issue "$keys/developer-cert.pem" "$keys/developer-key.pem" \
    "/O=Tamarek Test/OU=developer/CN=Tamarek Developer"
make_key "$keys/client-key.pem"
issue "$keys/client-cert.pem" "$keys/client-key.pem" \
    "/O=Tamarek Customer/OU=client/CN=Tamarek Client"
# customer-sign's client certificate certifies the packages key itself.
issue "$keys/developer-client-cert.pem" "$keys/developer-key.pem" \
    "/O=Tamarek Customer/OU=client/CN=Tamarek Developer Client"
make_key "$keys/binaries-key.pem"

regular=$kit/sdk/package-signing
make_key "$regular/regular_key.pem"
issue "$regular/regular_cert.pem" "$regular/regular_key.pem" \
    "/O=Neverra OS SDK/OU=developer/CN=Neverra OS Regular Developer"

# customer-sign's default files in the shared home folder.
copy_new() { cmp -s "$1" "$2" || cp "$1" "$2"; }
copy_new "$keys/binaries-key.pem" "$kit/home/.orvsdk/binaries-key.pem"
copy_new "$keys/developer-key.pem" "$kit/home/.orvsdk/packages-key.pem"
copy_new "$keys/developer-cert.pem" "$kit/home/.orvsdk/packages-cert.pem"
copy_new "$keys/developer-client-cert.pem" "$kit/home/.orvsdk/packages-client-cert.pem"
