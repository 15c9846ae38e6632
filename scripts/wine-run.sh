#!/usr/bin/env bash
# Runs a program of the Windows build under Wine; the Windows build's tests
# run through it (CMake's cross-compiling emulator).
#
#   wine-run.sh QT_PREFIX DLL_DIRS PROGRAM.exe [ARGS...]
#
# QT_PREFIX is the Qt for Windows tree, DLL_DIRS the folders of the mingw
# runtime DLLs (separated by ':'). Needs WINEPREFIX and DISPLAY, as
# scripts/with-wine.sh sets them: with the Windows platform plugin, message
# boxes and dialogs only come up on an X server. Arguments naming existing
# files or folders are handed over as Windows paths. A QtTest program writes
# its report to a file, shown afterwards with Unix line ends.
set -uo pipefail
qt=$1 dlls=$2 program=$3
shift 3

windowsPath() {
    local p
    p=$(readlink -m "$1")
    printf 'Z:%s' "${p//\//\\}"
}

search="$(windowsPath "$qt/bin")"
IFS=: read -ra dirs <<<"$dlls"
for d in "${dirs[@]}"; do
    search+=";$(windowsPath "$d")"
done
export WINEPATH="$search"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine hands QT_* variables to the program only under these names.
export WINEQT_QPA_PLATFORM=${TAVRIN_WINE_QPA:-windows}
export WINEQT_PLUGIN_PATH="$(windowsPath "$qt/plugins")"

args=()
for a in "$@"; do
    if [[ "$a" == /* && -e "$a" ]]; then
        args+=("$(windowsPath "$a")")
    else
        args+=("$a")
    fi
done

case $(basename "$program") in
tst_*)
    # Now and then a program under Wine does not end after its last test; its
    # report tells the outcome then, and the runner ends it.
    report=$(mktemp --suffix=.txt)
    wine "$program" "${args[@]}" -o "$(windowsPath "$report"),txt" </dev/null &
    pid=$!
    finished=
    while kill -0 "$pid" 2>/dev/null; do
        if [[ -z $finished ]] && grep -q 'Finished testing of' "$report" 2>/dev/null; then
            finished=$SECONDS
        fi
        if [[ -n $finished ]] && ((SECONDS - finished > 15)); then
            kill "$pid" 2>/dev/null
            break
        fi
        sleep 0.2
    done
    wait "$pid"
    status=$?
    tr -d '\r' <"$report"
    if [[ -n $finished ]] && ((SECONDS - finished > 15)); then
        echo "(the program did not end 15 s after its report; ended by the Wine runner)"
        grep -q '^Totals: [0-9]* passed, 0 failed' <(tr -d '\r' <"$report") && status=0 || status=1
    fi
    rm -f "$report"
    exit "$status"
    ;;
*)
    wine "$program" "${args[@]}"
    ;;
esac
