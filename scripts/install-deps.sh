#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt that are missing;
# with "windows", those of scripts/packages-windows.txt (the Windows build and
# its tests under Wine) and scripts/packages-test.txt (tools only the tests
# use) too.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

lists=("$here/packages.txt")
[[ "${1:-}" == windows ]] && lists+=("$here/packages-windows.txt" "$here/packages-test.txt")

missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done < <(cat "${lists[@]}")

[[ ${#missing[@]} -eq 0 ]] && exit 0

if ! command -v apt-get >/dev/null; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "This script installs them with apt-get (Debian 12); install them by other means here." >&2
    exit 1
fi

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
