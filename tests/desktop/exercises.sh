#!/usr/bin/env bash
# A teacher who never opens a terminal writes an exercise in the class's
# window (a title typed, a passage pasted, each idea's paragraph chosen),
# saves it, previews it to the end (no record, the clipboard untouched, the
# preview closing alone) and offers it with an example; a pupil chooses it
# and does it. Each step is timed, the teacher's part as a whole too.
# Usage: exercises.sh PROGRAM [SCREENSHOT_FOLDER]
source "$(dirname "$0")/common.sh"
program=$1
shots=${2:-$scratch/screenshots}
need xdotool xclip openbox import
# The exercises' folder is made in $TMPDIR: an ordinary account's is in
# /tmp, where anybody may make folders, and the program rightly reads
# nothing a teacher keeps there. Root's is safe.
[[ $(id -u) -eq 0 ]] || skip "the exercises' folder would be in ${TMPDIR:-/tmp}, no safe place for an ordinary account's files"
mkdir -p "$shots"
# The screen at a failure, to see why.
fail() {
    echo "FAIL: $*" >&2
    import -window root "$shots/failure.png" 2> /dev/null && echo "the screen then: $shots/failure.png" >&2
    exit 1
}

started=$(date +%s%N)
step() { echo "ok: $1 ($((($(date +%s%N) - started) / 1000000)) ms from the start)"; }
key() { xdotool key --delay 40 "$@"; sleep 0.3; }
text() { xdotool type --delay 40 "$1"; sleep 0.2; }

# The machine's setting names the exercises folder; the log is ~/estest.txt.
machine=$scratch/xdg folder=$scratch/exercices home=$scratch/home
log=$home/estest.txt
mkdir -p "$machine/morvel2" "$folder" "$home"
chmod 755 "$scratch" "$machine" "$machine/morvel2" "$folder"
printf '[exercises]\nfolder=%s\n' "$folder" > "$machine/morvel2/morvel2.conf"
cp "$(dirname "$0")/../../packaging/exercices/301-herisson.txt" "$folder"
chmod 644 "$folder"/* "$machine/morvel2/morvel2.conf"
export HOME=$home XDG_CONFIG_DIRS=$machine XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share

start_display
openbox --sm-disable > "$scratch/openbox.log" 2>&1 &
on_exit+=("kill $!")
sleep 1 # openbox ready to give windows the keyboard
"$program" --classe > /dev/null 2> "$scratch/teacher.log" &
teacher=$!
on_exit+=("kill $teacher 2> /dev/null")
xdotool windowactivate --sync "$(wait_for_window "Résultats de la classe – $log")"
teacher_started=$(date +%s%N)

key alt+f x
xdotool windowactivate --sync "$(wait_for_window Exercices)"
key alt+n
xdotool windowactivate --sync "$(wait_for_window "Nouvel exercice")"
key alt+t
text "Le voyage des hirondelles"
# The Windows test's exercise: its passage numbered as a teacher types it.
exercise=$(dirname "$0")/../windows/teacher-exercise.txt
sed -n 's/^paragraphe : //p' "$exercise" | awk '{ printf "%s%d. %s\n", (NR > 1 ? "\n" : ""), NR, $0 }' \
    > "$scratch/passage.txt"
xclip -selection clipboard < "$scratch/passage.txt"
key alt+x ctrl+v
# Each idea, Tab to its list, the paragraph chosen with the arrows.
while IFS=: read -r paragraph idea; do
    ((paragraph == 1)) && key Tab || key alt+a
    text "${idea# }"
    key Tab
    for ((down = 0; down < paragraph; down++)); do key Down; done
done < <(sed -n 's/^idée au paragraphe //p' "$exercise")
import -window root "$shots/editor-filled.png"
key alt+e
wait_for_window "Modifier un exercice" > /dev/null
saved=$folder/302-le-voyage-des-hirondelles.txt
grep -qx 'paragraphe : Chaque printemps, .*' "$saved" || fail "the paragraphs kept their numbers: $(cat "$saved")"
grep -qx "idée au paragraphe 4 : Le grand départ" "$saved" || fail "the ideas are not as chosen: $(cat "$saved")"
[[ $(stat -c %a "$saved") == 644 ]] || fail "the exercise is $(stat -c %a "$saved"), not 644"
step "written and saved"

echo "le presse-papiers du professeur" | xclip -selection clipboard
key alt+p
xdotool windowactivate --sync "$(wait_for_window "Aperçu – Le voyage des hirondelles")"
import -window root "$shots/preview.png"
type_answers_in_order() { local a; for a in 1 2 3 4; do text "$a"; key Return; done; }
type_answers_in_order
wait_for_window morvel2 > /dev/null
key Return
sleep 1
xdotool search --onlyvisible --name "^Aperçu" > /dev/null 2>&1 && fail "the preview did not close itself at the end"
kill -0 "$teacher" || fail "the teacher's window went with the preview"
[[ -z $(find "$home" -name 'estest*') ]] || fail "the preview wrote a log: $(find "$home" -name 'estest*')"
[[ $(xclip -o -selection clipboard) == "le presse-papiers du professeur" ]] \
    || fail "the preview changed the clipboard: $(xclip -o -selection clipboard)"
step "previewed to the end: no record, the clipboard as it was"

xdotool windowactivate --sync "$(wait_for_window "Modifier un exercice")"
key alt+f
xdotool windowactivate --sync "$(wait_for_window Exercices)"
key alt+r
xdotool windowactivate --sync "$(wait_for_window "Proposer aux élèves")"
# The list: 301, then 303; both ticked with Space.
key Home space Down space
import -window root "$shots/offer.png"
key alt+e
teacher_seconds=$((($(date +%s%N) - teacher_started) / 1000000))
[[ $(grep -v '^#' "$folder/proposes.conf") == $'301-herisson.txt\n302-le-voyage-des-hirondelles.txt' ]] \
    || fail "the choice is: $(cat "$folder/proposes.conf")"
step "offered with 301-herisson.txt; the teacher's part took $teacher_seconds ms"

"$program" > /dev/null 2> "$scratch/pupil.log" &
pupil=$!
on_exit+=("kill $pupil 2> /dev/null")
xdotool windowactivate --sync "$(wait_for_window Form1)"
import -window root "$shots/chooser.png"
# The second title, clicked as a child clicks it.
xdotool mousemove 640 248 click 1
sleep 1
type_answers_in_order
close_and_wait_for_end "$pupil"
[[ $(cat "$log") == "302           Le voyage des hirondelles"*$'\r' ]] || fail "the pupil's record: $(cat -A "$log")"
step "a pupil chose it and did it: $(wc -c < "$log") bytes recorded under 302"
