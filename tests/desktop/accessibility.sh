#!/usr/bin/env bash
# Walks the window's accessibility tree over AT-SPI, as a screen reader sees
# it, in a session bus and an X server of its own.
if [[ -z ${MORVEL2_OWN_SESSION:-} ]]; then
    command -v dbus-run-session > /dev/null || { echo "skipped: dbus-run-session is not installed"; exit 77; }
    MORVEL2_OWN_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/common.sh"
program=$1
python=/usr/bin/python3
need xdotool
[[ -x $python ]] && "$python" -c 'import pyatspi' 2> /dev/null || skip "python3-pyatspi is not installed"

start_display
mkdir -p "$scratch/home"
HOME="$scratch/home" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
program_pid=$!
on_exit+=("kill $program_pid")
# No window manager here: give the window the keyboard as one would.
xdotool windowfocus --sync "$(wait_for_window Form1)"
"$python" "$(dirname "$0")/accessibility.py"
