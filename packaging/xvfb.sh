# Sourced by the scripts that show the window on a private X server. start_xvfb starts one on a
# free display and exports DISPLAY; show_window starts a program there and waits for its window;
# stop_all ends both and is safe to call twice (from an EXIT trap too).

start_xvfb() {
    xvfb_display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$xvfb_display_file" \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    tries=0
    until [ -s "$xvfb_display_file" ]; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "Xvfb did not start" >&2
            return 1
        fi
        sleep 0.1
    done
    DISPLAY=:$(cat "$xvfb_display_file")
    export DISPLAY
    rm -f "$xvfb_display_file"
}

# show_window TITLE COMMAND...: runs COMMAND and waits up to 20 s for a mapped window whose
# name starts with TITLE. Sets window_pid and window_id; prints COMMAND's output if none came.
show_window() {
    title=$1
    shift
    window_log=$(mktemp)
    "$@" >"$window_log" 2>&1 &
    window_pid=$!
    tries=0
    while [ "$tries" -lt 200 ]; do
        window_id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title" | awk '{ print $1; exit }')
        if [ -n "$window_id" ] &&
            xwininfo -id "$window_id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            return 0
        fi
        if ! kill -0 "$window_pid" 2>/dev/null; then break; fi
        tries=$((tries + 1))
        sleep 0.1
    done
    echo "no window \"$title\" appeared on $DISPLAY; the program wrote:" >&2
    cat "$window_log" >&2
    return 1
}

stop_all() {
    for pid in ${window_pid:-} ${xvfb_pid:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    window_pid=
    xvfb_pid=
    rm -f "${window_log:-}"
}
