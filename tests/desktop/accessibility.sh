#!/usr/bin/env bash
# Walks the window's accessibility tree over AT-SPI, as a screen reader sees
# it, in an X server and a session bus of its own.
source "$(dirname "$0")/common.sh"
program=$1
python=/usr/bin/python3
need dbus-run-session xdotool
[[ -x $python ]] && "$python" -c 'import pyatspi' 2> /dev/null || skip "python3-pyatspi is not installed"

if [[ -z ${MORVEL2_OWN_SESSION:-} ]]; then
    # The display first: the bus hands DISPLAY on to the accessibility
    # services it starts, and the registry gives up without one.
    start_display
    MORVEL2_OWN_SESSION=1 dbus-run-session -- bash "$0" "$@"
    exit
fi

mkdir -p "$scratch/home"
HOME="$scratch/home" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
program_pid=$!
on_exit+=("kill $program_pid")
# No window manager here: give the window the keyboard as one would.
xdotool windowfocus --sync "$(wait_for_window Form1)"
"$python" "$(dirname "$0")/accessibility.py"
