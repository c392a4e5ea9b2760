#!/usr/bin/env bash
# Installs what is missing, builds, starts the operator sandbox server on loopback and runs
# the client against it. Extra arguments go to the client.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j"$(nproc)" --target tavrix tavrix_webengine tavrix-sandbox
port=${TAVRIX_SANDBOX_PORT:-8080}
build/dev/tavrix-sandbox --port "$port" --db "${TAVRIX_SANDBOX_DB:-build/dev/sandbox.sqlite}" &
server=$!
trap 'kill $server 2>/dev/null' EXIT
sleep 0.5
# The demo's address book, for the pages that read or pick contacts (kept when one exists).
home=${TAVRIX_HOME:-$HOME/.local/share/tavrix}
if [ ! -e "$home/Documents/contacts.vcf" ]; then
    mkdir -p "$home/Documents"
    cp sandbox/demo/contacts.vcf "$home/Documents/contacts.vcf"
fi
build/dev/tavrix --server "http://127.0.0.1:$port/pelvo/" "$@"
