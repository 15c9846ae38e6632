#!/usr/bin/env bash
# Installs what building and running the program need, builds the program
# alone (no tests, fuzzers or benchmarks) and starts tavrin.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

cmake --preset run >/dev/null
cmake --build --preset run -j "$(nproc)" --target tavrin

exec build/run/app/tavrin "$@"
