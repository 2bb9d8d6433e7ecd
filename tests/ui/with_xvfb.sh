#!/bin/sh
# Runs a command on a private X server: starts Xvfb on a free display, runs the command with
# DISPLAY pointing at it on Qt's xcb platform, stops Xvfb and exits with the command's status.
# Exits 77 (skipped) when Xvfb is not installed. -noreset: by default Xvfb resets when its last
# client leaves, and a program connecting in that moment (after a helper such as the
# accessibility bus has come and gone) is refused.
set -u
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "Xvfb is not installed: skipped" >&2
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/eds-xvfb-XXXXXX")
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/log" &
server=$!
stop() {
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap 'stop; exit 130' INT TERM

tries=0
until [ -s "$work/display" ]; do
    if ! kill -0 "$server" 2>/dev/null || [ "$tries" -ge 200 ]; then
        echo "Xvfb did not start:" >&2
        cat "$work/log" >&2
        stop
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.05
done

DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb "$@"
status=$?
stop
exit "$status"
