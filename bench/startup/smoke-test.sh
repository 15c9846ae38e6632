#!/usr/bin/env bash
# Proves the start-up waiter works: it times the bare Qt window once, and it
# fails, rather than hangs or reports a time, for a program that ends without
# a window and for a title that never appears. Skipped (77) without Xvfb.
# Usage: smoke-test.sh WAITER FLOOR
set -euo pipefail
waiter=$1 floor=$2

if ! command -v Xvfb >/dev/null; then
    echo "SKIP: Xvfb is not installed"
    exit 77
fi
# shellcheck source=xvfb.sh
source "$(dirname "$0")/xvfb.sh"
trap stop_xvfb EXIT
start_xvfb

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Given the floor window, when it is timed once,
# then the waiter reports a positive time no earlier than the Expose and the
# resident memory of a running Qt program (several MiB).
if out=$("$waiter" --quiet --timeout 20 "smoke floor" "$floor" "smoke floor"); then
    echo "$out"
    if [[ $out =~ ^startup_ms=([0-9.]+)\ exposed_ms=([0-9.]+)\ rss_kib=([0-9]+)$ ]]; then
        startup=${BASH_REMATCH[1]} exposed=${BASH_REMATCH[2]} rss=${BASH_REMATCH[3]}
        awk -v s="$startup" -v e="$exposed" 'BEGIN { exit !(e > 0 && s >= e) }' ||
            fail "times out of order: startup $startup ms, exposed $exposed ms"
        ((rss > 4096)) || fail "resident memory $rss KiB is not that of a Qt program"
    else
        fail "unexpected output: $out"
    fi
else
    fail "the floor window was not detected"
fi

# Given a program that ends at once, when it is timed,
# then the waiter fails promptly and says the program ended.
start=$(date +%s)
if err=$("$waiter" --timeout 20 "never" true 2>&1); then
    fail "a program without a window was reported as started: $err"
elif [[ $err != *"before its window showed"* ]]; then
    fail "no word of the program's end: $err"
elif (($(date +%s) - start > 5)); then
    fail "the ended program was noticed only after the timeout"
fi

# Given a window whose title differs, when the waiter waits for another,
# then it gives up at its timeout and ends the program.
if err=$("$waiter" --quiet --timeout 2 "another title" "$floor" "smoke floor" 2>&1); then
    fail "a window with another title was taken: $err"
elif [[ $err != *"within 2.0 s"* ]]; then
    fail "no timeout reported: $err"
fi
if pgrep -f "^$floor smoke floor$" >/dev/null; then
    fail "the floor program was left running"
fi

((failures == 0)) || exit 1
echo "waiter works"
