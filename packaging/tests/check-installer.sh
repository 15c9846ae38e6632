#!/usr/bin/env bash
# The Windows installer under Wine: built by CPack, installed silently into a
# fresh prefix, the installed program started until its window shows, then
# uninstalled silently, which must leave no program files behind.
# Usage: check-installer.sh CPACK BUILD_DIR INSTALLER_NAME
# Needs DISPLAY, an X server for Wine (scripts/with-wine.sh gives one).
set -euo pipefail
cpack=$1 build=$2 installer=$3
title="tavrin 1.05 (Freeware)"

(cd "$build" && "$cpack" -G NSIS >cpack.log) || { cat "$build/cpack.log"; exit 1; }
[[ -f "$build/$installer" ]] || { echo "no installer $installer"; exit 1; }

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset WINEPATH
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
mkdir -p "$WINEPREFIX"
# The server and Wine's own services must not hold this script's output open.
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1

fail() { echo "FAIL: $*"; exit 1; }

wine "$build/$installer" /S
target="$WINEPREFIX/drive_c/Program Files/tavrin"
for f in tavrin.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
    libwinpthread-1.dll libgcc_s_seh-1.dll platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll Uninstall.exe; do
    [[ -f "$target/$f" ]] || fail "installed without $f"
done
shortcut=$(find "$WINEPREFIX/drive_c" -iname 'tavrin.lnk' | head -n 1)
[[ -n "$shortcut" ]] || fail "no Start-menu entry"
echo "installed: $(cd "$target" && find . -type f | wc -l) files, Start-menu entry ${shortcut#"$WINEPREFIX"/}"

# The installed program alone, with nothing but what the installer put there.
wine "C:\\Program Files\\tavrin\\tavrin.exe" &
program=$!
shown=0
for _ in $(seq 300); do
    xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\"" && { shown=1; break; }
    sleep 0.1
done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
[[ $shown == 1 ]] || fail "the installed program showed no window \"$title\""
echo "started: window \"$title\" shown"

wine "C:\\Program Files\\tavrin\\Uninstall.exe" /S
# The uninstaller finishes from a copy of itself in the temporary folder, and
# removes the Start-menu entry only after the program's folder: wait for both.
leftFiles() { [[ -e "$target" ]] && find "$target" -type f 2>/dev/null; return 0; }
leftEntry() { find "$WINEPREFIX/drive_c" -iname 'tavrin.lnk' 2>/dev/null; }
for _ in $(seq 600); do
    [[ -z "$(leftFiles)" && -z "$(leftEntry)" ]] && break
    sleep 0.1
done
left=$(leftFiles)
[[ -z "$left" ]] || fail "uninstalling left: $left"
[[ -z "$(leftEntry)" ]] || fail "the Start-menu entry is left"
echo "uninstalled: no program files and no Start-menu entry left"
