#!/usr/bin/env bash
# The Windows packages under Wine. The installer, built by CPack, is installed
# silently into a fresh prefix; then are checked: the installed files and
# their size, the libraries without debug data, the program's version
# resource and manifest, the Add/Remove Programs entry and the Start-menu
# entry. The installed program is started until its window shows. While it runs, neither the installer nor the uninstaller
# may change anything, and a silent run says so by its exit code. Closed, it
# is uninstalled silently, which must leave nothing behind. Last, the
# portable zip is unpacked with nothing installed and its program started.
# Usage: check-installer.sh CPACK BUILD_DIR VERSION
# Needs DISPLAY, an X server for Wine (scripts/with-wine.sh gives one), and
# wrestool (icoutils).
set -euo pipefail
cpack=$1 build=$2 version=$3
installer=tavrin-$version-win64.exe
zip=tavrin-$version-win64.zip
title="tavrin $version (Freeware)"
# The installed folder holds the program, Qt, the runtime and the licences.
max_installed_kib=$((30 * 1024))
# Exit code of a silent installer or uninstaller that found tavrin running.
exit_running=3

fail() { echo "FAIL: $*"; exit 1; }
command -v wrestool >/dev/null || fail "wrestool is not installed (Debian package icoutils)"

(cd "$build" && "$cpack" -G NSIS >cpack.log && "$cpack" -G ZIP >>cpack.log) ||
    { cat "$build/cpack.log"; exit 1; }
[[ -f "$build/$installer" ]] || fail "no installer $installer"
[[ -f "$build/$zip" ]] || fail "no portable zip $zip"

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
unset WINEPATH
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
mkdir -p "$WINEPREFIX"
# The server and Wine's own services must not hold this script's output open.
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1

drive=$WINEPREFIX/drive_c
target="$drive/Program Files/tavrin"
startmenu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/tavrin"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\tavrin'

# startProgram WINDOWS_PATH: starts the program, sets $program to its process
# and waits until its window shows; its error output goes to $scratch/stderr.
startProgram() {
    wine "$1" 2>"$scratch/stderr" &
    program=$!
    for _ in $(seq 300); do
        xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\"" && return 0
        sleep 0.1
    done
    fail "$1 showed no window \"$title\": $(cat "$scratch/stderr")"
}
stopProgram() {
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
}
# Everything an install consists of, to see that a refused run changed nothing.
installState() {
    find "$target" "$startmenu" -printf '%p %s %T@\n' 2>/dev/null | sort
    { wine reg query "$uninstall_key" 2>/dev/null || true; } | tr -d '\r'
}
# The value of KEY in the version resource of the program file.
versionValue() {
    wrestool -x --raw --type=16 "$target/tavrin.exe" | strings -n 1 -el |
        awk -v key="$1" 'found { print; exit } $0 == key { found = 1 }'
}
# "TYPE VALUE" of a value of the Add/Remove Programs entry, the value as stored.
registryValue() {
    { wine reg query "$uninstall_key" /v "$1" 2>/dev/null || true; } | tr -d '\r' |
        awk -v name="$1" '$1 == name { value = $0; sub(/^ *[^ ]+ +[^ ]+ +/, "", value); print $2, value }'
}

# --- Installed --------------------------------------------------------------
wine "$build/$installer" /S || fail "the installer exited with $?"
for f in tavrin.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
    libwinpthread-1.dll libgcc_s_seh-1.dll platforms/qwindows.dll \
    styles/qwindowsvistastyle.dll Uninstall.exe licenses/COPYING.txt \
    licenses/COPYING.LESSER.txt licenses/THIRD-PARTY-NOTICES.txt; do
    [[ -f "$target/$f" ]] || fail "installed without $f"
done
grep -q "GNU GENERAL PUBLIC LICENSE" "$target/licenses/COPYING.txt" || fail "COPYING.txt is not the GPL"
grep -q "apt-get source qt6-base=[0-9]" "$target/licenses/THIRD-PARTY-NOTICES.txt" ||
    fail "the notices do not name the version of qt6-base"
grep -q "@" "$target/licenses/THIRD-PARTY-NOTICES.txt" && fail "the notices hold an unreplaced @NAME@"
while read -r file; do
    sections=$(x86_64-w64-mingw32-objdump -h "$file" | awk '$2 ~ /^\.debug/ { print $2 }' | xargs)
    [[ -z $sections ]] || fail "${file#"$target"/} keeps its debug data: $sections"
done < <(find "$target" -iname '*.dll' -o -iname 'tavrin.exe')
installed_kib=$(du -sk "$target" | cut -f1)
((installed_kib <= max_installed_kib)) ||
    fail "the installed folder takes $installed_kib KiB, more than $max_installed_kib"
echo "installed: $(cd "$target" && find . -type f | wc -l) files, $installed_kib KiB"

[[ -f "$startmenu/tavrin.lnk" ]] || fail "no Start-menu entry tavrin\\tavrin.lnk: $(find "$drive" -iname 'tavrin.lnk')"

# --- The program file describes itself ---------------------------------------
for pair in "ProductName=tavrin" "ProductVersion=$version" "FileVersion=$version" \
    "CompanyName=tavrin developers" "OriginalFilename=tavrin.exe"; do
    key=${pair%%=*}
    [[ $(versionValue "$key") == "${pair#*=}" ]] ||
        fail "version resource: $key is '$(versionValue "$key")', not '${pair#*=}'"
done
[[ $(versionValue FileDescription) == tavrin* ]] || fail "version resource: no FileDescription"
[[ $(versionValue LegalCopyright) == *GPL-3.0-or-later* ]] || fail "version resource: LegalCopyright names no licence"
manifest=$(wrestool -x --raw --type=24 "$target/tavrin.exe" || true)
for wanted in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    '>PerMonitorV2</dpiAwareness>' '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' \
    '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
    [[ $manifest == *"$wanted"* ]] || fail "the manifest lacks $wanted"
done
echo "version resource: ProductVersion $(versionValue ProductVersion); manifest with common controls 6, PerMonitorV2"

# --- Add/Remove Programs ------------------------------------------------------
expect() {
    local got
    got=$(registryValue "$1")
    [[ $got == "$2" ]] || fail "Add/Remove Programs: $1 is '$got', not '$2'"
}
expect DisplayVersion "REG_SZ $version"
expect Publisher "REG_SZ tavrin developers"
expect DisplayIcon 'REG_SZ C:\Program Files\tavrin\tavrin.exe'
expect InstallLocation 'REG_SZ C:\Program Files\tavrin'
expect UninstallString 'REG_SZ "C:\Program Files\tavrin\Uninstall.exe"'
expect QuietUninstallString 'REG_SZ "C:\Program Files\tavrin\Uninstall.exe" /S'
expect NoModify "REG_DWORD 0x1"
expect NoRepair "REG_DWORD 0x1"
estimated=$(registryValue EstimatedSize)
[[ $estimated == "REG_DWORD 0x"* ]] || fail "Add/Remove Programs: EstimatedSize is '$estimated'"
estimated_kib=$((16#${estimated#*0x}))
# Windows counts the files' sizes, du the blocks they take: close, not equal.
((estimated_kib * 100 >= installed_kib * 95 && estimated_kib <= installed_kib)) ||
    fail "Add/Remove Programs: EstimatedSize $estimated_kib KiB for $installed_kib KiB installed"
echo "Add/Remove Programs: complete, EstimatedSize $estimated_kib KiB"

# --- While the program runs, nothing is replaced or removed --------------------
startProgram 'C:\Program Files\tavrin\tavrin.exe'
echo "started: window \"$title\" shown"
before=$(installState)

status=0
wine "$build/$installer" /S || status=$?
[[ $status == "$exit_running" ]] || fail "the installer over the running program exited with $status"
[[ $(installState) == "$before" ]] || fail "the installer changed the installation of the running program"

# The uninstaller hands over to a copy of itself in the temporary folder and
# exits at once; run in place (_?=), as the installer runs it, it gives its
# own exit code.
printf '@start "" /wait "C:\\Program Files\\tavrin\\Uninstall.exe" /S _?=C:\\Program Files\\tavrin\r\n@exit /b %%ERRORLEVEL%%\r\n' \
    >"$drive/uninstall-in-place.cmd"
status=0
wine cmd /c 'C:\uninstall-in-place.cmd' || status=$?
rm "$drive/uninstall-in-place.cmd"
[[ $status == "$exit_running" ]] || fail "the uninstaller with the program running exited with $status"
[[ $(installState) == "$before" ]] || fail "the uninstaller changed the installation of the running program"

# As Add/Remove Programs runs it: through the copy, which must change nothing either.
wine "C:\\Program Files\\tavrin\\Uninstall.exe" /S
for _ in $(seq 300); do
    pgrep -f 'nsu.\.tmp' >/dev/null || break
    sleep 0.1
done
[[ $(installState) == "$before" ]] || fail "the silent uninstaller changed the installation of the running program"
echo "refused while running: installer and uninstaller exit $exit_running, nothing changed"
stopProgram

# Closed, the installer replaces the installation: the old one uninstalled first.
wine "$build/$installer" /S || fail "the installer over the closed program exited with $?"
[[ -f "$target/tavrin.exe" && -f "$target/Uninstall.exe" && -f "$startmenu/tavrin.lnk" ]] ||
    fail "reinstalling left an incomplete installation: $(find "$target" "$startmenu" -type f)"
expect DisplayVersion "REG_SZ $version"
echo "reinstalled over the closed program"

# --- Uninstalled ----------------------------------------------------------------
wine "C:\\Program Files\\tavrin\\Uninstall.exe" /S
# The uninstaller finishes from a copy of itself in the temporary folder, and
# removes the Start-menu entry only after the program's folder: wait for both.
leftFiles() { [[ -e "$target" ]] && find "$target" -type f 2>/dev/null; return 0; }
leftEntry() { find "$drive" -iname 'tavrin.lnk' 2>/dev/null; }
for _ in $(seq 600); do
    [[ -z "$(leftFiles)" && -z "$(leftEntry)" ]] && break
    sleep 0.1
done
left=$(leftFiles)
[[ -z "$left" ]] || fail "uninstalling left: $left"
[[ -z "$(leftEntry)" ]] || fail "the Start-menu entry is left"
[[ -z "$(registryValue DisplayName)" ]] || fail "the Add/Remove Programs entry is left"
echo "uninstalled: no program files, Start-menu or Add/Remove Programs entry left"

# --- The portable zip, with nothing installed -----------------------------------
mkdir "$drive/portable"
unzip -q "$build/$zip" -d "$drive/portable"
folder=${zip%.zip}
[[ -f "$drive/portable/$folder/licenses/THIRD-PARTY-NOTICES.txt" ]] || fail "the zip holds no licences"
[[ ! -e "$drive/portable/$folder/Uninstall.exe" ]] || fail "the zip holds an uninstaller"
startProgram "C:\\portable\\$folder\\tavrin.exe"
stopProgram
echo "portable: $zip ($(du -k "$build/$zip" | cut -f1) KiB) unpacked, window \"$title\" shown"
echo "installer: $installer ($(du -k "$build/$installer" | cut -f1) KiB)"
