#!/usr/bin/env bash
# The session around the program. A session that ends (logout, a closed
# terminal, Ctrl+C, the display going away) while the pupil is asked what to
# do about a record that could not be written must leave that record in the
# rescue log and on standard error. A launcher that closed standard error
# must still get the window, and a session without a window manager a full
# screen.
source "$(dirname "$0")/common.sh"
program=$1
need xdotool

# (A background job starts with SIGINT ignored, which the program respects;
# a terminal's program would have it.)
# Starts the exercise in a fresh home folder whose results log cannot be
# written (a folder stands at its path), answers the four rows and waits
# for the box that offers to try again. Sets $pid and $home.
finish_with_the_log_blocked() {
    home="$scratch/home-$1"
    mkdir -p "$home/estest.txt" "$scratch/runtime-$1"
    chmod 700 "$scratch/runtime-$1"
    HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$scratch/runtime-$1" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        env --default-signal=INT "$program" > /dev/null 2> "$scratch/stderr-$1" &
    pid=$!
    local window
    window=$(wait_for_window Form1)
    xdotool windowfocus --sync "$window"
    type_answers
    wait_for_window morvel2 > /dev/null
}

expect_rescued() {
    local name=$1 status=0 tries=0
    while kill -0 "$pid" 2> /dev/null; do
        ((tries++ < 200)) || { kill -KILL "$pid"; fail "$name: the program did not end"; }
        sleep 0.1
    done
    wait "$pid" || status=$?
    [[ $status -eq 1 ]] || fail "$name: the program ended with status $status, not 1"
    local rescue="$home/.local/share/morvel2/estest.txt"
    [[ -f $rescue ]] || fail "$name: no rescue log; standard error: $(cat "$scratch/stderr-$name")"
    [[ $(LC_ALL=C grep -c $'^202 .*\r$' "$rescue") -eq 1 && $(wc -l < "$rescue") -eq 1 ]] \
        || fail "$name: the rescue log does not hold exactly the one record: $(cat -A "$rescue")"
    grep -q '^202 ' "$scratch/stderr-$name" || fail "$name: the record is not on standard error"
    [[ -d "$home/estest.txt" && -z "$(ls -A "$home/estest.txt")" ]] || fail "$name: the blocked log was touched"
    echo "$name while the box was up: status 1, the record in the rescue log and on standard error"
}

start_display
for signal in TERM HUP INT; do
    finish_with_the_log_blocked "SIG$signal"
    kill -"$signal" "$pid"
    expect_rescued "SIG$signal"
done

finish_with_the_log_blocked "display-lost"
kill "$xvfb_pid"
xvfb_pid=
expect_rescued "display-lost"

# Standard error closed by the launcher: the window must still come up, and
# with no window manager to maximise it, cover the screen by itself.
start_display
mkdir -p "$scratch/home-closed"
HOME="$scratch/home-closed" "$program" 2>&- &
pid=$!
on_exit+=("kill -KILL $pid")
window=$(wait_for_window Form1)
echo "standard error closed: the window came up"
tries=0
until [[ $(xdotool getwindowgeometry "$window") == *"Geometry: 1280x800"* ]]; do
    ((tries++ < 50)) || fail "without a window manager the window is not full screen: $(xdotool getwindowgeometry "$window")"
    sleep 0.1
done
echo "no window manager: the window covers the 1280x800 screen"
