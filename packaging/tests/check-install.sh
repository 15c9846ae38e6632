#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the program, the
# desktop entry and every icon land where desktops look for them.
# Usage: check-install.sh CMAKE BUILD_DIR BINDIR DATADIR WITH_PROGRAM SOURCE_DIR
set -euo pipefail
cmake=$1 build=$2 bindir=$3 datadir=$4 with_program=$5 source=$6

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

# Width and height from a PNG's IHDR chunk (bytes 16..23, big-endian).
png_size() {
    local bytes
    bytes=$(od -An -tu1 -j16 -N8 "$1" | tr -s ' \n' ' ')
    read -r w1 w2 w3 w4 h1 h2 h3 h4 <<<"$bytes"
    echo "$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))x$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))"
}

program="$prefix/$bindir/tavrin"
if [[ $with_program == 1 ]]; then
    if [[ ! -x $program ]]; then
        fail "program not installed as $bindir/tavrin"
    elif readelf -d "$program" 2>/dev/null | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
        # An installed program must not load libraries from the build tree.
        fail "installed program still searches the build tree: $(readelf -d "$program" | grep -E 'R(UN)?PATH')"
    fi
elif [[ -e $program ]]; then
    fail "program installed although the build has none"
fi

desktop="$prefix/$datadir/applications/tavrin.desktop"
if [[ ! -f $desktop ]]; then
    fail "desktop entry not installed as $datadir/applications/tavrin.desktop"
elif ! cmp -s "$desktop" "$source/tavrin.desktop"; then
    fail "installed desktop entry differs from packaging/tavrin.desktop"
fi

icons="$prefix/$datadir/icons/hicolor"
[[ -f $icons/scalable/apps/tavrin.svg ]] || fail "scalable icon missing"
for size in 16 32 48 64 128 256; do
    png="$icons/${size}x${size}/apps/tavrin.png"
    if [[ ! -f $png ]]; then
        fail "icon missing: ${size}x${size}/apps/tavrin.png"
    elif [[ $(head -c 8 "$png" | od -An -tx1 | tr -d ' \n') != 89504e470d0a1a0a ]]; then
        fail "${size}x${size}/apps/tavrin.png is not a PNG"
    elif [[ $(png_size "$png") != "${size}x${size}" ]]; then
        fail "${size}x${size}/apps/tavrin.png is $(png_size "$png")"
    fi
done

# The icon name in the desktop entry must be the installed icon's name.
if [[ -f $desktop ]]; then
    icon_name=$(sed -n 's/^Icon=//p' "$desktop")
    [[ -f $icons/48x48/apps/$icon_name.png ]] || fail "desktop entry names icon '$icon_name' that is not installed"
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [[ $with_program == 0 || -x $prefix/$bindir/$exec_name ]] ||
        fail "desktop entry starts '$exec_name', not installed in $bindir"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed; installed files:" >&2
    (cd "$prefix" && find . -type f | sort) >&2
    exit 1
fi
echo "installed layout is complete"
