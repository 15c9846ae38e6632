#!/usr/bin/env bash
# Start-up benchmark: how long tavrin takes from launch until its window shows
# content, and how much resident memory it has then, next to a bare Qt window
# of the same size (the floor), on a private virtual X server.
#
# Usage: bench/startup/startup-bench.sh [--runs N] [--warmup N] [--title TITLE]
#                                       [--check] [--windows] [PROGRAM]
#   PROGRAM   default build/default/app/tavrin (built here when it is)
#   --title   the window title to wait for, default "tavrin VERSION (Freeware)"
#             with the version of CMakeLists.txt
#   --runs    measured runs of each program (default 10), after
#   --warmup  unmeasured runs of each (default 2)
#   --check   exit 1 when a median exceeds 1.2 times the floor's
#   --windows the Windows build under Wine: build/windows (preset "windows",
#             Qt for Windows from scripts/build-qt-windows.sh) installed with
#             its libraries into a temporary folder, and the floor built the
#             same way and started from that folder, with the same libraries
# Builds what it needs in build/default (cmake preset "default"), and for
# --windows in build/windows and build/windows-floor. Not a test: run it by
# hand on a quiet machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/bench/startup"

runs=10
warmup=2
version=$(sed -n 's/^project(tavrin VERSION \([^ )]*\).*/\1/p' "$root/CMakeLists.txt")
title="tavrin $version (Freeware)"
check=0
windows=0
program=""
limit=1.2
while [[ $# -gt 0 ]]; do
    case $1 in
    --runs) runs=$2; shift 2 ;;
    --warmup) warmup=$2; shift 2 ;;
    --title) title=$2; shift 2 ;;
    --check) check=1; shift ;;
    --windows) windows=1; shift ;;
    -h | --help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) program=$1; shift ;;
    esac
done
[[ $runs =~ ^[1-9][0-9]*$ && $warmup =~ ^[0-9]+$ ]] || {
    echo "--runs must be positive and --warmup not negative" >&2
    exit 2
}

if ! command -v Xvfb >/dev/null; then
    echo "Installing xvfb for the virtual X server"
    sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends xvfb
fi

# --- Build ------------------------------------------------------------------
build="$root/build/default"
targets=(tavrin_startwait)
((windows)) || targets+=(tavrin_floor)
if [[ -z $program ]] && ((!windows)); then
    program="$build/app/tavrin"
    [[ -f $root/app/CMakeLists.txt ]] && targets+=(tavrin)
fi
(cd "$root" && cmake --preset default >/dev/null &&
    cmake --build --preset default -j 2 --target "${targets[@]}" >/dev/null)
waiter="$build/bench/startup/tavrin_startwait"
floor="$build/bench/startup/tavrin_floor"
floor_title="tavrin start-up floor"
# How a program is started: directly, or under Wine.
launch=()
if ((windows)); then
    # The program as its packages install it, and the floor beside it, so
    # that both load the same stripped libraries and plugins.
    installed=$(mktemp -d)
    trap 'rm -rf "$installed"' EXIT
    (cd "$root" && cmake --preset windows >/dev/null &&
        cmake --build --preset windows --target tavrin >/dev/null &&
        cmake --install build/windows --prefix "$installed" --strip >/dev/null)
    cmake -S "$here/windows-floor" -B "$root/build/windows-floor" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >/dev/null
    cmake --build "$root/build/windows-floor" >/dev/null
    cp "$root/build/windows-floor/tavrin_floor.exe" "$installed/"
    floor="$installed/tavrin_floor.exe"
    [[ -n $program ]] || program="$installed/tavrin.exe"
    launch=(wine)
fi
[[ -x $waiter && -f $floor ]] || {
    echo "the waiter or the floor was not built (libx11-dev, libxdamage-dev missing?)" >&2
    exit 1
}
with_program=1
if [[ ! -f $program ]]; then
    echo "No program at $program: measuring the floor only."
    with_program=0
fi

# --- Measure ----------------------------------------------------------------
# shellcheck source=xvfb.sh
source "$here/xvfb.sh"
if ((windows)); then
    trap 'wineserver -k 2>/dev/null || true; stop_xvfb; rm -rf "$installed"' EXIT
else
    trap stop_xvfb EXIT
fi
start_xvfb
if ((windows)); then
    # A prefix of its own, made for this display; Qt for Windows has only its
    # Windows platform plugin.
    export WINEPREFIX=$installed/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    export QT_QPA_PLATFORM=windows
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
fi

# measure PROGRAM TITLE -> "startup_ms rss_kib"
measure() {
    local out
    out=$("$waiter" --quiet --timeout 30 "$2" "${launch[@]}" "$1") || {
        echo "measuring $1 failed" >&2
        exit 1
    }
    [[ $out =~ startup_ms=([0-9.]+)\ .*rss_kib=([0-9]+) ]] || {
        echo "unexpected waiter output: $out" >&2
        exit 1
    }
    echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
}

for ((i = 0; i < warmup; i++)); do
    measure "$floor" "$floor_title" >/dev/null
    ((with_program)) && measure "$program" "$title" >/dev/null
done

program_ms=() program_kib=() floor_ms=() floor_kib=()
echo "display $DISPLAY, $warmup warm-up and $runs measured runs each${launch:+, under Wine}"
printf '%4s  %22s  %22s\n' run "tavrin ms / MiB" "floor ms / MiB"
for ((i = 1; i <= runs; i++)); do
    # Alternate which one goes first, so drift in the machine's load falls on both.
    order=(floor program)
    ((i % 2 == 0)) && order=(program floor)
    p="" f=""
    for which in "${order[@]}"; do
        if [[ $which == floor ]]; then
            read -r ms kib < <(measure "$floor" "$floor_title")
            floor_ms+=("$ms") floor_kib+=("$kib")
            f=$(awk -v m="$ms" -v k="$kib" 'BEGIN { printf "%9.1f / %6.1f", m, k / 1024 }')
        elif ((with_program)); then
            read -r ms kib < <(measure "$program" "$title")
            program_ms+=("$ms") program_kib+=("$kib")
            p=$(awk -v m="$ms" -v k="$kib" 'BEGIN { printf "%9.1f / %6.1f", m, k / 1024 }')
        fi
    done
    printf '%4d  %22s  %22s\n' "$i" "${p:--}" "$f"
done

median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

floor_ms_median=$(median "${floor_ms[@]}")
floor_kib_median=$(median "${floor_kib[@]}")
echo
printf 'median  floor   %8.1f ms  %7.1f MiB\n' "$floor_ms_median" \
    "$(awk -v k="$floor_kib_median" 'BEGIN { print k / 1024 }')"
((with_program)) || exit 0

program_ms_median=$(median "${program_ms[@]}")
program_kib_median=$(median "${program_kib[@]}")
printf 'median  tavrin  %8.1f ms  %7.1f MiB\n' "$program_ms_median" \
    "$(awk -v k="$program_kib_median" 'BEGIN { print k / 1024 }')"
verdict=$(awk -v pm="$program_ms_median" -v fm="$floor_ms_median" \
    -v pk="$program_kib_median" -v fk="$floor_kib_median" -v limit="$limit" 'BEGIN {
        t = pm / fm; m = pk / fk
        printf "ratio   tavrin / floor: time %.2fx (%s), memory %.2fx (%s); target %.1fx\n",
            t, t <= limit ? "within" : "OVER", m, m <= limit ? "within" : "OVER", limit
        exit (t <= limit && m <= limit) ? 0 : 1
    }') && within=1 || within=0
echo "$verdict"
((check && !within)) && exit 1
exit 0
