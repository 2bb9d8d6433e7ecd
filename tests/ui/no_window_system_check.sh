#!/bin/sh
# eds-setting without a usable window system ends with status 1 and says what to do, where Qt
# alone would abort and dump core.
#   no_window_system_check.sh EDS_SETTING
set -u
program=$1
failures=0
check() {
    case_name=$1
    shift
    err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$program" 2>&1 >/dev/null)
    status=$?
    if [ "$status" -ne 1 ]; then
        echo "$case_name: status $status, expected 1" >&2
        failures=$((failures + 1))
    fi
    case $err in
    *"eds-setting: cannot open the window (see above)."*) ;;
    *)
        echo "$case_name: no hint on standard error:" >&2
        echo "$err" >&2
        failures=$((failures + 1))
        ;;
    esac
}
check "no display"
check "display that does not exist" DISPLAY=:4097
check "unknown platform plugin" QT_QPA_PLATFORM=no-such-platform
[ "$failures" -eq 0 ]
