# Sourced by scripts that need a private virtual X server (the Wine session,
# the start-up measurements): start_xvfb starts one and points DISPLAY and
# Qt at it; stop_xvfb ends it again.

xvfb_pid=""
xvfb_dir=""

start_xvfb() {
    xvfb_dir=$(mktemp -d)
    # Xvfb writes its display number to the descriptor once it accepts
    # clients, so there is no guessing at a free display or sleeping.
    # -noreset: by default the server resets whenever its last client leaves,
    # and a program started during that reset cannot connect.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$xvfb_dir/display" \
        >"$xvfb_dir/log" 2>&1 &
    xvfb_pid=$!
    local waited=0
    while [[ ! -s $xvfb_dir/display ]]; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null || ((waited > 200)); then
            echo "Xvfb did not start:" >&2
            cat "$xvfb_dir/log" >&2
            return 1
        fi
        sleep 0.05
        waited=$((waited + 1))
    done
    export DISPLAY=":$(tr -d '\n' <"$xvfb_dir/display")"
    # Qt must talk to this X server, whatever the caller's environment says.
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
}

stop_xvfb() {
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
    [[ -n $xvfb_dir ]] && rm -rf "$xvfb_dir"
    xvfb_dir=""
}
