#!/usr/bin/env bash
# Holds the Debian package to Debian's and AppStream's standards: lintian with
# every tag level (a tag that stays must be overridden, with its reason, in
# packaging/linux/lintian-overrides), the AppStream metadata validated
# pedantically, and a software-centre catalogue composed from the unpacked
# tree, which must hold exactly one desktop application.
# Usage: check-standards.sh DEB UNPACKED_ROOT
set -euo pipefail
deb=$1 root=$2
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
for tool in lintian appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Lintian says "running with root privileges is not recommended" on stderr.
lintian -EvIL +pedantic "$deb" >"$out/lintian.txt" 2>"$out/lintian.err" ||
    fail "lintian exited with $?: $(cat "$out/lintian.err")"
tags=$(grep -E '^[EWIPX]: ' "$out/lintian.txt" || true)
[[ -z $tags ]] || fail "lintian tags:"$'\n'"$tags"
echo "lintian: $(grep -c '^[EWIPXO]: ' "$out/lintian.txt" || true) tags shown"

shopt -s nullglob
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
if [[ ${#metainfo[@]} -ne 1 ]]; then
    fail "expected one AppStream metainfo file, found ${#metainfo[@]}"
else
    # Without network access: the validator cannot fetch URLs here anyway.
    validation=$(appstreamcli validate --pedantic --no-net "${metainfo[0]}" 2>&1) ||
        fail "appstreamcli validate: $validation"
    # Every issue line ("E: id: tag ..." and the like) fails, pedantic ones too.
    issues=$(grep -E '^[EWIP]: ' <<<"$validation" || true)
    [[ -z $issues ]] || fail "appstreamcli validate --pedantic:"$'\n'"$issues"
    echo "appstreamcli validate: $(tail -n 1 <<<"$validation")"
fi

# Compose reads the tree as a distribution's catalogue builder would.
report=$(appstreamcli compose --no-net --no-color --print-report=full --origin=tavrin \
    --prefix=/usr --result-root="$out/catalogue" "$root" 2>&1) ||
    fail "appstreamcli compose failed: $report"
issues=$(grep -E '^ *[EWIP]: ' <<<"$report" || true)
[[ -z $issues ]] || fail "appstreamcli compose:"$'\n'"$issues"
catalogue=("$out"/catalogue/usr/share/swcatalog/xml/*.xml.gz)
if [[ ${#catalogue[@]} -ne 1 ]]; then
    fail "compose wrote ${#catalogue[@]} catalogues"
else
    apps=$(zcat "${catalogue[0]}" | grep -c '<component type="desktop-application">' || true)
    components=$(zcat "${catalogue[0]}" | grep -c '<component ' || true)
    [[ $apps -eq 1 && $components -eq 1 ]] ||
        fail "compose found $apps desktop application(s) among $components component(s)"
    echo "appstreamcli compose: $apps desktop application"
fi

((failures == 0)) || exit 1
