#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts tavrin.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target tavrin

exec build/default/app/tavrin "$@"
