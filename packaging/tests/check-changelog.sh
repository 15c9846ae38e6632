#!/usr/bin/env bash
# The release notes as the packages read them from CHANGELOG.md: each row a
# changelog, the project's version, and what must come out (the newest date
# and the AppStream releases) or the error that must stop the configuration.
# Usage: check-changelog.sh CMAKE
set -euo pipefail
cmake=$1
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

# row NAME VERSION CHANGELOG EXPECTED: EXPECTED is the output, or "error: TEXT"
# for a configuration that must stop with TEXT in its message.
row() {
    local name=$1 version=$2 expected=$4 out status=0
    printf '%s' "$3" >"$tmp/CHANGELOG.md"
    out=$("$cmake" -DCHANGELOG="$tmp/CHANGELOG.md" -DVERSION="$version" \
        -P "$here/print-releases.cmake" 2>&1) || status=$?
    if [[ $expected == error:* ]]; then
        # CMake wraps its messages: compared with the blanks squeezed.
        if [[ $status == 0 || $(tr -s ' \n' '  ' <<<"$out") != *"${expected#error: }"* ]]; then
            echo "FAIL: $name: expected an error with '${expected#error: }', got ($status): $out"
            failures=$((failures + 1))
        fi
    elif [[ $status != 0 || $out != "$expected" ]]; then
        echo "FAIL: $name: got ($status):"$'\n'"$out"$'\n'"expected:"$'\n'"$expected"
        failures=$((failures + 1))
    fi
}

row "newest of two releases, items over several lines" 1.05 '# Changes

Text before the first release is not part of any.

## 1.05 (2026-12-08)

- First item
  continued here.
- Second item

## 1.04 (2025-01-31)

- Older item
' 'date 2026-12-08
    <release version="1.05" date="2026-12-08">
      <description>
        <ul>
            <li>First item continued here.</li>
            <li>Second item</li>
        </ul>
      </description>
    </release>
    <release version="1.04" date="2025-01-31">
      <description>
        <ul>
            <li>Older item</li>
        </ul>
      </description>
    </release>'

row "XML and list characters kept as text" 2.0 '## 2.0 (2027-03-01)

- Rates <5% & [years]; more
' 'date 2027-03-01
    <release version="2.0" date="2027-03-01">
      <description>
        <ul>
            <li>Rates &lt;5% &amp; [years]; more</li>
        </ul>
      </description>
    </release>'

row "project version ahead of the notes" 1.06 '## 1.05 (2026-12-08)

- Item
' "error: the newest release is '1.05', the project's version is '1.06'"

row "no release at all" 1.05 '# Changes
' "error: the newest release is '', the project's version is '1.05'"

row "release heading without a date" 1.05 '## 1.05

- Item
' "error: '## 1.05' is not '## VERSION (YYYY-MM-DD)'"

row "release without changes" 1.05 '## 1.05 (2026-12-08)
' "error: release 1.05 lists no changes"

row "text in a release that is not an item" 1.05 '## 1.05 (2026-12-08)

Fixed things.
' "error: 'Fixed things.' in release 1.05 is not a '- ' item"

((failures == 0)) && echo "changelog rows passed"
exit $((failures > 0))
