#!/usr/bin/env bash
# The teacher's window read as a screen reader reads it, over AT-SPI: the
# pupils' table cell by cell, the notices as written, then a pupil
# finishing while it is open.
# Usage: classtable.sh PROGRAM LOGDRIVER
source "$(dirname "$0")/common.sh"
program=$1
logdriver=$2
python=/usr/bin/python3
need dbus-run-session xdotool
[[ -x $python ]] && "$python" -c 'import pyatspi' 2> /dev/null || skip "python3-pyatspi is not installed"

if [[ -z ${MORVEL2_OWN_SESSION:-} ]]; then
    start_display
    MORVEL2_OWN_SESSION=1 dbus-run-session -- bash "$0" "$@"
    exit
fi

class="$scratch/cm1"
mkdir -p "$class" "$scratch/home"
"$logdriver" answers 1 4 2 2 > "$class/zoé.txt"
"$logdriver" answers 3 4 1 2 >> "$class/zoé.txt"
"$logdriver" answers 3 1 "" 2 > "$class/léo.txt"
# A classmate's link named like markup: said as written, in the notices.
ln -s "$class/léo.txt" "$class/<title>.txt"
HOME="$scratch/home" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" --classe "$class" &
program_pid=$!
on_exit+=("kill $program_pid")
xdotool windowfocus --sync "$(wait_for_window "Résultats de la classe – $class")"
# A pupil finishes while the teacher watches: the reader then looks again.
MORVEL2_NEW_RECORD="$("$logdriver" answers 3 4 1 1)" MORVEL2_NEW_LOG="$class/ana.txt" \
    "$python" "$(dirname "$0")/classtable.py"
