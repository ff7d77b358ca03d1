#!/usr/bin/env bash
# Junk on both selections, and a pupil who middle-clicks, presses Shift+Insert
# and right-clicks in an answer box before typing: only the typed digits
# reach the record.
source "$(dirname "$0")/common.sh"
program=$1
need xdotool xclip

start_display
junk='junk 12 34	xyz'
printf '%s' "$junk" | xclip -selection primary -loops 0 &
on_exit+=("kill $!")
printf '%s' "$junk" | xclip -selection clipboard -loops 0 &
on_exit+=("kill $!")

home="$scratch/home"
mkdir -p "$home"
HOME="$home" "$program" &
pid=$!
on_exit+=("kill -KILL $pid")
window=$(wait_for_window Form1)
xdotool windowfocus --sync "$window"
# The first answer box, at 280,352 and 33 x 25 in the window's client area.
read -r x y < <(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
xdotool mousemove $((x + 296)) $((y + 364))
xdotool click 2
xdotool key shift+Insert ctrl+v
xdotool click 3
sleep 0.3
xdotool key Escape
type_answers
close_and_wait_for_end "$pid"

log="$home/estest.txt"
[[ -s $log ]] || fail "no record was written"
LC_ALL=C grep -q 'junk\|xyz' "$log" && fail "pasted text reached the record: $(cat -A "$log")"
[[ $(stat -c %s "$log") -eq 310 ]] || fail "the record is not 310 bytes: $(cat -A "$log")"
echo "middle-click, Shift+Insert, Ctrl+V and the right button with junk on both selections: record of $(stat -c %s "$log") bytes, answers only"
