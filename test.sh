#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless:
# the release build, the same under the address and undefined-behaviour
# sanitizers, each fuzz target for a minute, and the Windows build (Qt for
# Windows built from Debian's sources once, then cached) with its tests and
# installer under Wine. Says how long each part took.
set -euo pipefail
cd "$(dirname "$0")"

timings=()
part() {
    local name=$1 start=$SECONDS
    shift
    echo "=== $name"
    "$@"
    timings+=("$(printf '%-34s %4d s' "$name" $((SECONDS - start)))")
}

linux_release() {
    cmake --preset ci >/dev/null
    cmake --build --preset ci -j "$(nproc)"
    ctest --preset ci
}
linux_sanitizers() {
    cmake --preset asan >/dev/null
    cmake --build --preset asan -j "$(nproc)"
    ctest --preset asan
}
# The Qt build is long and loud: its output goes to a log, shown in part only
# when it fails. Its last line names the installed prefix.
windows_qt() {
    local log=build/qt-windows.log
    mkdir -p build
    echo "Output in $log"
    if ! scripts/build-qt-windows.sh >"$log" 2>&1; then
        echo "Building Qt for Windows failed; the end of $log:" >&2
        tail -n 40 "$log" >&2
        return 1
    fi
    TAVRIN_QT_WINDOWS=$(tail -n 1 "$log")
    if [[ ! -f $TAVRIN_QT_WINDOWS/.complete ]]; then
        echo "No finished Qt for Windows at \"$TAVRIN_QT_WINDOWS\"; the end of $log:" >&2
        tail -n 40 "$log" >&2
        return 1
    fi
    export TAVRIN_QT_WINDOWS
}
windows_build() {
    cmake --preset windows >/dev/null
    cmake --build --preset windows
}
windows_tests() {
    scripts/with-wine.sh build/windows/wine ctest --preset windows
}
# Tests that exist on one system only, so that none is left out unseen.
only_on() {
    comm -23 <(ctest --test-dir "build/$1" -N | sed -n 's/^ *Test *#[0-9]*: //p' | sort) \
        <(ctest --test-dir "build/$2" -N | sed -n 's/^ *Test *#[0-9]*: //p' | sort) | xargs
}

part "packages" ./scripts/install-deps.sh windows
part "Linux: release build and tests" linux_release
part "Linux: sanitizer build and tests" linux_sanitizers
# Each fuzz target for about a minute, in a clang build of its own, when clang
# and libFuzzer are installed (the script says so when they are not).
part "Linux: fuzzers" fuzz/run-fuzzers.sh 60
part "Windows: Qt from Debian's sources" windows_qt
part "Windows: cross build" windows_build
part "Windows: tests under Wine" windows_tests

echo "=== Tests on one system only"
echo "Linux only:   $(only_on ci windows)"
echo "Windows only: $(only_on windows ci)"
echo "=== Time taken"
printf '%s\n' "${timings[@]}"
printf '%-34s %4d s\n' "all" "$SECONDS"
