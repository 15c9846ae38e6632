#!/usr/bin/env bash
# Runs a command with a Wine session for the Windows build: a virtual X server
# of its own and a Wine prefix for that display (a prefix's wineserver keeps
# the display it first saw), both ended afterwards.
#
#   with-wine.sh PREFIX_ROOT COMMAND [ARGS...]
set -euo pipefail
mkdir -p "$1"
root=$(cd "$1" && pwd)
shift

# shellcheck source=xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
start_xvfb

export WINEPREFIX=$root/prefix-${DISPLAY#:}
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=
finish() {
    wineserver -k 2>/dev/null || true
    stop_xvfb
    rm -rf "$WINEPREFIX"
}
trap finish EXIT

mkdir -p "$WINEPREFIX"
# One server and one set of Wine's own services for the whole session, with
# nothing of the tests' output: a service started by a test program would keep
# that program's output open, and ctest would wait for it past the program's end.
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
# A new prefix lacks the text file type every Windows installation has.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
wine reg add 'HKCR\.txt' /v 'Content Type' /d text/plain /f >/dev/null 2>&1
"$@"
