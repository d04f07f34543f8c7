#!/usr/bin/env bash
# program_test.sh DWELLMARK WITH-DISPLAY
# The program without a display: one line on standard error, status 1.
# With one: its window "Dwellmark" opens, and closing it ends the program
# with status 0. Every wait is for a state (window shown, window focused,
# program ended), with limits that only catch a hang.
set -u
program=$1
with_display=$2
fail() {
    echo "program_test: $*" >&2
    exit 1
}

[ -f "$(dirname "$program")/HAND-M.CUR" ] || fail "no HAND-M.CUR beside $program"

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY "$program" 2>"$errors" >/dev/null
status=$?
[ "$status" -eq 1 ] || fail "without a display the status is $status, not 1"
[ "$(wc -l <"$errors")" -eq 1 ] || fail "without a display the errors are not one line: $(cat "$errors")"
grep -q '^dwellmark: .*DISPLAY' "$errors" || fail "the error does not name DISPLAY: $(cat "$errors")"

DISPLAY=:4097 "$program" 2>"$errors" >/dev/null
status=$?
[ "$status" -eq 1 ] || fail "with a display that does not exist the status is $status, not 1"
[ "$(wc -l <"$errors")" -eq 1 ] || fail "with a display that does not exist the errors are not one line"

# shellcheck disable=SC2016
exec "$with_display" bash -c '
    set -u
    program=$1
    "$program" &
    pid=$!
    stop() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
    window=$(timeout 120 xdotool search --sync --onlyvisible --name "^Dwellmark\$" | head -n1)
    if [ -z "$window" ]; then
        echo "program_test: the window \"Dwellmark\" did not appear" >&2
        stop
        exit 1
    fi
    # Alt+F4 asks the window manager to close the window, like its close box.
    # A key pressed before the window manager has taken its key bindings, or
    # before the window has the focus, is lost: it is pressed again for as
    # long as the window is still there.
    for attempt in $(seq 0 1200); do
        kill -0 "$pid" 2>/dev/null || break
        if [ $((attempt % 50)) -eq 0 ] && xdotool getwindowname "$window" >/dev/null 2>&1; then
            timeout 60 xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null
        fi
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "program_test: the program did not end when its window closed" >&2
        stop
        exit 1
    fi
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || { echo "program_test: closed with status $status" >&2; exit 1; }
' program_test "$program"
