#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless:
# first in the release build, then again under the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake --preset ci >/dev/null
cmake --build --preset ci -j "$jobs"
ctest --preset ci

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan

# Then each fuzz target for about a minute, in a clang build of its own, when
# clang and libFuzzer are installed (the script says so when they are not).
fuzz/run-fuzzers.sh 60
