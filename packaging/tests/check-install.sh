#!/usr/bin/env bash
# Installs the build into a temporary prefix ("install", with cmake) or builds
# and unpacks the Debian package ("deb", with cpack, also checking its control
# fields and, with check-standards.sh, lintian and AppStream), then checks that
# the program, the desktop entry, every icon, the manual page, the AppStream
# metadata and the licence and changelogs land where they are looked for.
# Usage: check-install.sh install|deb CMAKE|CPACK BUILD_DIR BINDIR DATADIR WITH_PROGRAM SOURCE_DIR
#                         METAINFO_NAME [FONT_PACKAGE DEB_VERSION]
set -euo pipefail
mode=$1 tool=$2 build=$3 bindir=$4 datadir=$5 with_program=$6 source=$7 metainfo_name=$8
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if [[ $mode == install ]]; then
    root=$tmp prefix=$tmp
    "$tool" --install "$build" --prefix "$prefix" >/dev/null
else
    command -v dpkg-deb >/dev/null || { echo "SKIP: dpkg-deb is not installed"; exit 77; }
    "$tool" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
        { cat "$tmp/cpack.log" >&2; exit 1; }
    shopt -s nullglob
    debs=("$tmp"/out/*.deb)
    [[ ${#debs[@]} -eq 1 ]] || { echo "FAIL: expected one package, found ${#debs[@]}" >&2; exit 1; }
    deb=${debs[0]} root=$tmp/root prefix=$tmp/root/usr bindir=bin datadir=share
    dpkg-deb -x "$deb" "$root"
    field() { dpkg-deb --field "$deb" "$1"; }
    [[ $(field Package) == tavrin ]] || fail "Package is '$(field Package)'"
    [[ $(field Version) == "${10}" ]] || fail "Version is '$(field Version)', not '${10}'"
    [[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture is '$(field Architecture)'"
    [[ $(field Maintainer) =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer is '$(field Maintainer)', not 'Name <address>'"
    [[ -n $(field Description) ]] || fail "no Description"
    long_lines=$(field Description | awk 'length > 80' | wc -l)
    [[ $long_lines -eq 0 ]] || fail "$long_lines description line(s) longer than 80 characters"
    # Each wanted package exactly once, as a whole name.
    names=$(field Depends | tr ',' '\n' | awk '{print $1}')
    for wanted in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins "$9"; do
        count=$(grep -cxF -- "$wanted" <<<"$names" || true)
        [[ $count -eq 1 ]] || fail "Depends names $wanted $count times: $(field Depends)"
    done
    bash "$(dirname "$0")/check-standards.sh" "$deb" "$root" || fail "the package breaks a standard (above)"
fi

program=$prefix/$bindir/tavrin
if [[ $with_program == 0 ]]; then
    [[ ! -e $program ]] || fail "program installed although the build has none"
elif [[ ! -x $program ]]; then
    fail "program not installed as $bindir/tavrin"
elif rpath=$(readelf -d "$program" 2>/dev/null | grep -E 'R(UN)?PATH') && [[ $rpath == *"$build"* ]]; then
    # An installed program must not load libraries from the build tree.
    fail "installed program still searches the build tree: $rpath"
fi

cmp -s "$prefix/$datadir/applications/tavrin.desktop" "$source/tavrin.desktop" ||
    fail "$datadir/applications/tavrin.desktop is missing or differs from packaging/tavrin.desktop"
icons=$prefix/$datadir/icons/hicolor
[[ -f $icons/scalable/apps/tavrin.svg ]] || fail "scalable icon missing"
for size in 16 22 24 32 48 64 128 256; do
    # The PNG signature, then width and height from the IHDR chunk (big-endian).
    hex=$(od -An -tx1 -N24 "$icons/${size}x$size/apps/tavrin.png" 2>/dev/null | tr -d ' \n' || true)
    if [[ ${#hex} -ne 48 || ${hex:0:16} != 89504e470d0a1a0a ]]; then
        fail "${size}x$size/apps/tavrin.png is missing or not a PNG"
    elif [[ $((16#${hex:32:8}))x$((16#${hex:40:8})) != "${size}x$size" ]]; then
        fail "${size}x$size/apps/tavrin.png is $((16#${hex:32:8}))x$((16#${hex:40:8}))"
    fi
done

# The entry (the source's, as checked above) names the installed icon and program.
icon_name=$(sed -n 's/^Icon=//p' "$source/tavrin.desktop")
[[ -f $icons/48x48/apps/$icon_name.png ]] || fail "desktop entry names icon '$icon_name' that is not installed"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$source/tavrin.desktop")
[[ $with_program == 0 || (-n $exec_name && -x $prefix/$bindir/$exec_name) ]] ||
    fail "desktop entry starts '$exec_name', not installed in $bindir"

# The manual page and the changelogs compressed, as man and Debian read them.
for doc in man/man1/tavrin.1.gz doc/tavrin/changelog.gz doc/tavrin/changelog.Debian.gz; do
    gzip -t "$prefix/$datadir/$doc" 2>/dev/null || fail "$datadir/$doc is missing or not gzip data"
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
    "$prefix/$datadir/doc/tavrin/copyright" 2>/dev/null ||
    fail "$datadir/doc/tavrin/copyright is missing or not in the machine-readable format"
[[ $(zcat "$prefix/$datadir/man/man1/tavrin.1.gz" 2>/dev/null | sed -n 2,3p) == $'.SH NAME\ntavrin \\- '* ]] ||
    fail "the manual page does not open with its NAME section"
# The metadata names the desktop entry that is installed beside it.
metainfo=$prefix/$datadir/metainfo/$metainfo_name
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo" 2>/dev/null || true)
[[ -n $launchable && -f $prefix/$datadir/applications/$launchable ]] ||
    fail "$datadir/metainfo/$metainfo_name is missing or launches '$launchable', which is not installed"

if ((failures > 0)); then
    echo "$failures check(s) failed; installed files:" >&2
    (cd "$root" && find . -type f | sort) >&2
    exit 1
fi
echo "${deb:+$(basename "$deb"): control fields and }installed layout complete"
