#!/usr/bin/env bash
# Builds the Debian package into a temporary directory and checks its control
# fields and contents.
# Usage: check-deb.sh CPACK BUILD_DIR WITH_PROGRAM FONT_PACKAGE
set -euo pipefail
cpack=$1 build=$2 with_program=$3 font_package=$4

if ! command -v dpkg-deb >/dev/null; then
    echo "SKIP: dpkg-deb is not installed"
    exit 77
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log" >&2
    exit 1
}
shopt -s nullglob
debs=("$out"/*.deb)
if [[ ${#debs[@]} -ne 1 ]]; then
    echo "FAIL: expected one package, found ${#debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}

field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == tavrin ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == 1.05 ]] || fail "Version is '$(field Version)'"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture is '$(field Architecture)'"
[[ $(field Maintainer) =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer is '$(field Maintainer)', not 'Name <address>'"
[[ -n $(field Description) ]] || fail "no Description"
long_lines=$(field Description | awk 'length > 80' | wc -l)
[[ $long_lines -eq 0 ]] || fail "$long_lines description line(s) longer than 80 characters"

# Depends: each wanted package exactly once, as a whole name.
depends=$(field Depends)
IFS=',' read -ra entries <<<"$depends"
names=()
for entry in "${entries[@]}"; do
    read -r name _ <<<"$entry"
    names+=("$name")
done
for wanted in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins "$font_package"; do
    count=0
    for name in "${names[@]}"; do
        [[ $name == "$wanted" ]] && count=$((count + 1))
    done
    [[ $count -eq 1 ]] || fail "Depends names $wanted $count times: $depends"
done

contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
expect=(./usr/share/applications/tavrin.desktop ./usr/share/icons/hicolor/scalable/apps/tavrin.svg)
for size in 16 32 48 64 128 256; do
    expect+=("./usr/share/icons/hicolor/${size}x${size}/apps/tavrin.png")
done
[[ $with_program == 1 ]] && expect+=(./usr/bin/tavrin)
for path in "${expect[@]}"; do
    grep -qxF "$path" <<<"$contents" || fail "package lacks $path"
done

if ((failures > 0)); then
    echo "$failures check(s) failed; package contents:" >&2
    echo "$contents" >&2
    exit 1
fi
echo "$(basename "$deb"): fields and contents are complete"
