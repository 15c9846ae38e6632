#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts tavrin.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

program=build/default/app/tavrin
if [[ ! -x "$program" ]]; then
    echo "Built the calculation library; there is no window to start yet."
    exit 0
fi
exec "$program" "$@"
