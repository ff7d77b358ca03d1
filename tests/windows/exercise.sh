#!/usr/bin/env bash
# The Windows program as a school technician deploys it and a pupil meets
# it, under Wine: the MSI installed silently into a fresh Wine prefix, the
# installed program started, the exercise done, the record compared byte for
# byte with the Linux program's, then the machine-wide registry setting, the
# teacher's window (Qt's buttons in French, a PDF with both faces), a log
# that cannot be written, a logout while the pupil is asked about it, and
# the silent removal; the commands typed in cmd (commands.sh); and a
# teacher's exercise offered with an example from the folder the Policies
# key names, chosen by a pupil, its record compared byte for byte with the
# Linux program's; a pupil with reading adaptations, the page fitted to the
# 1920x1080 screen, whose record is the design page's. Each step is named
# and timed.
#
# Usage: exercise.sh MSI [SCREENSHOT_FOLDER]. MORVEL2_LINUX_PROGRAM, when
# set, is a Linux build whose record for the same answers is the reference;
# otherwise linux-record.txt (and linux-record-teacher.txt, for
# teacher-exercise.txt) beside this script, which that program wrote.
source "$(dirname "$0")/../desktop/common.sh"
msi=${1:-}
screenshots=${2:-$scratch/screenshots}
[[ -f $msi ]] || skip "no MSI at '$msi': build it with scripts/windows"
need wine wineserver Xvfb openbox xdotool xclip xprop wmctrl import convert tesseract pdffonts
[[ -n $(tesseract --list-langs 2> /dev/null | grep -x fra) ]] || skip "tesseract has no French (tesseract-ocr-fra)"
mkdir -p "$screenshots"

current=
step_started=0
step() {
    finish_step
    current=$1
    step_started=$(date +%s%N)
}
finish_step() {
    [[ -n $current ]] || return 0
    echo "ok: $current ($((($(date +%s%N) - step_started) / 1000000)) ms)"
    current=
}
fail() {
    echo "FAIL: ${current:-exercise under Wine}: $*" >&2
    if [[ -n ${DISPLAY:-} ]]; then
        import -window root "$screenshots/failure.png" 2> /dev/null && echo "the screen then: $screenshots/failure.png" >&2
    fi
    exit 1
}

windows_path() {
    local path=${1//\//\\}
    echo "Z:$path"
}

export WINEPREFIX=$scratch/prefix WINEDEBUG=-all
# Wine shows Windows programs the fonts fontconfig knows: only DejaVu here,
# so that, as on a Windows machine, Liberation Sans is the program's own.
export FONTCONFIG_FILE=$scratch/fonts.conf
cat > "$FONTCONFIG_FILE" << EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$scratch/fontconfig-cache</cachedir>
</fontconfig>
EOF
# No Mono or Gecko: nothing here needs them, and there is no network.
export WINEDLLOVERRIDES="mscoree,mshtml="
drive_c=$WINEPREFIX/drive_c
program='C:\Program Files\morvel2\morvel2.exe'
on_exit+=("wineserver -k 2> /dev/null")

# The id of the visible window titled $1, once there is one.
window_of_program() {
    local tries=0 id
    until id=$(xdotool search --onlyvisible --name "^$1\$" 2> /dev/null | head -1) && [[ -n $id ]]; do
        ((tries++ < 200)) || fail "no window titled $1 appeared: $(visible_windows); $(cat "$scratch"/stderr-*)"
        sleep 0.1
    done
    echo "$id"
}

# Starts the installed program and waits for its window to have the
# keyboard; sets $pid, $window. With "warned", a box about the setting comes
# first: it is kept in a screenshot and closed with its button.
start_program() {
    wine "$program" > /dev/null 2> "$scratch/stderr-$1" &
    pid=$!
    on_exit+=("kill -KILL $pid 2> /dev/null")
    if [[ ${2:-} == warned ]]; then
        local warning
        warning=$(window_of_program morvel2)
        focus_window "$warning"
        import -window root "$screenshots/setting-warning-under-wine.png"
        # Its text, copied as Windows copies a message box's (Ctrl+C): for
        # the child first, then for the adult in Windows' own words.
        local said tries=0
        until said=$(xclip -o -selection clipboard 2> /dev/null) && [[ $said == *préviens* ]]; do
            ((tries++ < 20)) || fail "the box about the setting gave no text: '$said'"
            xdotool key ctrl+c
            sleep 0.5
        done
        [[ $said == *"préviens ton maître ou ta maîtresse."*"Pour l'adulte qui vient aider :"*'\results'* ]] \
            || fail "the box about the setting says: $said"
        [[ $said != *'[results]'* ]] || fail "the box about the setting speaks of Linux's [results] group: $said"
        # Closed with Enter, as a pupil closes it: the first answer's Enter
        # must still be heard.
        xdotool key Return
        local tries=0
        while xdotool search --onlyvisible --name '^morvel2$' > /dev/null 2>&1; do
            ((tries++ < 50)) || fail "the box about the setting did not close"
            sleep 0.1
        done
    fi
    window=$(window_of_program Form1)
    focus_window "$window"
}

# The French text OCR reads on screenshot $1, the small type enlarged; with
# "threshold", black on white, coloured backgrounds taken away.
read_screen() {
    local contrast=()
    [[ -z ${2:-} ]] || contrast=(-threshold 50%)
    convert "$1" -resize 400% -colorspace Gray "${contrast[@]}" "$scratch/ocr.png"
    tesseract "$scratch/ocr.png" - -l fra 2> /dev/null || fail "tesseract could not read $1"
}

# The visible windows' ids and titles, the active one marked, for a failure.
visible_windows() {
    local id active
    active=$(xdotool getactivewindow 2> /dev/null || true)
    for id in $(xdotool search --onlyvisible --name '' 2> /dev/null); do
        printf '%s%s "%s"; ' "$id" "$([[ $id == "$active" ]] && echo ' (active)')" "$(xdotool getwindowname "$id")"
    done
}

focus_window() {
    local tries=0
    xdotool windowactivate --sync "$1" 2> /dev/null || xdotool windowfocus --sync "$1"
    until [[ $(xdotool getactivewindow 2> /dev/null) == "$1" ]]; do
        ((tries++ < 50)) || fail "window $1 does not get the keyboard: $(visible_windows)"
        sleep 0.1
    done
    # Wine takes the focus from X a moment after X gives it.
    sleep 0.5
}

# The answers 3, 4, 1, 2, each with Enter, at a pace Wine's keyboard keeps
# up with.
type_answers_under_wine() {
    local answer
    for answer in 3 4 1 2; do
        xdotool key --delay 120 "$answer"
        sleep 0.3
        xdotool key --delay 120 Return
        sleep 0.5
    done
}

# Waits for program $pid to end and checks its status.
expect_status() {
    local expected=$1 status=0 tries=0
    while kill -0 "$pid" 2> /dev/null; do
        ((tries++ < 200)) || fail "the program did not end"
        sleep 0.1
    done
    wait "$pid" || status=$?
    # The windows of a program just ended may linger a moment: the next
    # program's must not be taken for them.
    tries=0
    while xdotool search --onlyvisible --name '^(Form1|morvel2)$' > /dev/null 2>&1; do
        ((tries++ < 50)) || fail "the program's windows stayed after it ended: $(visible_windows)"
        sleep 0.1
    done
    [[ $status -eq $expected ]] || fail "the program ended with status $status, not $expected: $(cat "$scratch"/stderr-* 2> /dev/null)"
}

# The closing box of program $pid closed, its status 0, and the record it
# added to this pupil's log since $records_before bytes, kept in $scratch/$1,
# byte for byte $scratch/$2; else fails saying $3.
expect_new_record() {
    wait_for_window morvel2 > /dev/null
    close_and_wait_for_end "$pid"
    expect_status 0
    tail -c +$((records_before + 1)) "$drive_c/classe/$login.txt" > "$scratch/$1"
    cmp "$scratch/$1" "$scratch/$2" || fail "$3: $(cat -A "$scratch/$1")"
}

# The Linux program's record, in $scratch/$1: for the answers 3, 4, 1, 2
# to the built-in exercise, or for answers $3... to the exercise of file $2.
linux_record() {
    local reference=$1 exercise=${2:-}
    if [[ -z ${MORVEL2_LINUX_PROGRAM:-} ]]; then
        cp "$(dirname "$0")/$reference" "$scratch/$reference"
        return
    fi
    local home=$scratch/home-$reference linux_pid answer arguments=() answers=("${@:3}")
    [[ -z $exercise ]] || arguments=(--exercice "$exercise")
    ((${#answers[@]})) || answers=(3 4 1 2)
    mkdir -p "$home"
    HOME=$home XDG_DATA_HOME=$home/.local/share "$MORVEL2_LINUX_PROGRAM" "${arguments[@]}" \
        > /dev/null 2> "$scratch/stderr-linux" &
    linux_pid=$!
    on_exit+=("kill -KILL $linux_pid 2> /dev/null")
    local linux_window
    linux_window=$(wait_for_window Form1) || fail "$(cat "$scratch/stderr-linux")"
    focus_window "$linux_window"
    for answer in "${answers[@]}"; do
        xdotool type --delay 20 "$answer"
        xdotool key Return
        sleep 0.2
    done
    wait_for_window morvel2 > /dev/null
    close_and_wait_for_end "$linux_pid"
    cp "$home/estest.txt" "$scratch/$reference"
}

teacher_exercise=$(dirname "$0")/teacher-exercise.txt
step "display: Xvfb and openbox, a 1920x1080 screen"
start_display 1920x1080x24
openbox --sm-disable > "$scratch/openbox.log" 2>&1 &
on_exit+=("kill $!")
sleep 1

step "Linux record for the answers 3, 4, 1, 2"
linux_record linux-record.txt
[[ $(stat -c %s "$scratch/linux-record.txt") -eq 310 ]] || fail "the Linux record is not 310 bytes"
# The teacher's exercise, one answer wrong.
linux_record linux-record-teacher.txt "$teacher_exercise" 1 3 3 4
[[ $(head -c 3 "$scratch/linux-record-teacher.txt") == 304 ]] || fail "the Linux record of the teacher's exercise"

step "fresh Wine prefix"
wineboot --init > "$scratch/wineboot.log" 2>&1 || fail "wineboot: $(cat "$scratch/wineboot.log")"

step "silent install: msiexec /i /qn"
wine msiexec /i "$(windows_path "$(realpath "$msi")")" /qn > "$scratch/msiexec.log" 2>&1 \
    || fail "msiexec /i ended with status $?: $(cat "$scratch/msiexec.log")"
installed="$drive_c/Program Files/morvel2"
for file in morvel2.exe morvel2.com Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll libstdc++-6.dll \
    libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll LGPL-3.txt GPL-3.txt \
    LiberationSans-LICENSE.txt Andika-LICENSE.txt OpenDyslexic-LICENSE.txt translations/qtbase_fr.qm fonts/LiberationSans-Regular.ttf fonts/LiberationSans-Bold.ttf \
    enseignant.txt deployment.txt exercices.txt exercices/301-herisson.txt exercices/302-phare.txt \
    exercices/303-cigognes.txt; do
    [[ -f $installed/$file ]] || fail "$file is not in Program Files\\morvel2"
done
shortcut=$(find "$drive_c" -path '*Start Menu/Programs/morvel2.lnk' | head -1)
[[ -n $shortcut ]] || fail "no Start-menu shortcut morvel2.lnk"
grep -qa 'morvel2.exe' "$shortcut" || fail "the shortcut does not name morvel2.exe"
class_shortcut="$(dirname "$shortcut")/morvel2 – résultats de la classe.lnk"
[[ -f $class_shortcut ]] || fail "no Start-menu shortcut for the class's results: $(ls "$(dirname "$shortcut")")"
# A shortcut keeps its arguments in UTF-16, after their length.
strings -el "$class_shortcut" > "$scratch/class-shortcut.txt"
grep -q -- '--classe$' "$scratch/class-shortcut.txt" || fail "the class's shortcut does not give --classe"

source "$(dirname "$0")/commands.sh"

step "start the installed program: window Form1"
start_program exercise

step "window maximised"
tries=0
until xprop -id "$window" _NET_WM_STATE | grep -q '_NET_WM_STATE_MAXIMIZED_VERT.*_NET_WM_STATE_MAXIMIZED_HORZ\|_NET_WM_STATE_MAXIMIZED_HORZ.*_NET_WM_STATE_MAXIMIZED_VERT'; do
    ((tries++ < 50)) || fail "not maximised: $(xprop -id "$window" _NET_WM_STATE)"
    sleep 0.1
done

step "close request refused"
wmctrl -i -c "$window"
sleep 1
kill -0 "$pid" 2> /dev/null || fail "the program ended on a close request"
xdotool search --onlyvisible --name '^Form1$' > /dev/null || fail "the window went away on a close request"

step "screenshot: every word of paragraph 4 visible"
import -window root "$screenshots/exercise-under-wine.png"
read_screen "$screenshots/exercise-under-wine.png" threshold > "$scratch/ocr.txt"
# The paragraph as the program holds it, from its source.
paragraph=$(sed -n '/" 4\. /,/"),/p' "$(dirname "$0")/../../src/exercise/content.cpp" \
    | sed -E 's/^ *"//; s/"\),?$//; s/" *$//' | tr -d '\n')
[[ $paragraph == " 4. "* ]] || fail "paragraph 4 not found in the program's source"
missing=()
for word in $paragraph; do
    word=${word%[,.:]}
    [[ -z $word ]] || grep -qF -- "$word" "$scratch/ocr.txt" || missing+=("$word")
done
[[ ${#missing[@]} -eq 0 ]] || fail "not read on the screen: ${missing[*]}; read: $(cat "$scratch/ocr.txt")"

step "four answers typed with Enter"
focus_window "$window"
type_answers_under_wine
wait_for_window morvel2 > /dev/null

step "clipboard ' 0\$' read as an X selection"
clipboard=$(xclip -o -selection clipboard 2> /dev/null || true)
[[ $clipboard == ' 0$' ]] || fail "the clipboard holds '$clipboard'"

step "closing message, then status 0"
import -window root "$screenshots/closing-message-under-wine.png"
close_and_wait_for_end "$pid"
expect_status 0

step "the record at C:\\estest.txt, byte for byte the Linux one"
[[ -f $drive_c/estest.txt ]] || fail "no C:\\estest.txt"
[[ $(stat -c %s "$drive_c/estest.txt") -eq 310 ]] || fail "the record is $(stat -c %s "$drive_c/estest.txt") bytes, not 310"
cmp "$drive_c/estest.txt" "$scratch/linux-record.txt" || fail "the record differs from the Linux one: $(cat -A "$drive_c/estest.txt")"

step "machine-wide registry setting honoured"
mkdir -p "$drive_c/classe"
wine reg add 'HKLM\Software\morvel2\morvel2\results' /v log /d 'C:\classe\estest.txt' /f > /dev/null 2>&1 \
    || fail "reg add failed"
start_program setting
type_answers_under_wine
wait_for_window morvel2 > /dev/null
close_and_wait_for_end "$pid"
expect_status 0
cmp "$drive_c/classe/estest.txt" "$scratch/linux-record.txt" || fail "the set log does not hold the record"
[[ $(stat -c %s "$drive_c/estest.txt") -eq 310 ]] || fail "C:\\estest.txt was written too"

step "a log per pupil: %u in the registry setting is the account's login"
wine reg add 'HKLM\Software\morvel2\morvel2\results' /v log /d 'C:\classe\%u.txt' /f > /dev/null 2>&1 \
    || fail "reg add failed"
login=$(wine cmd /c 'echo %USERNAME%' 2> /dev/null | tr -d '\r')
[[ -n $login ]] || fail "Wine gives no user name"
start_program pupil
type_answers_under_wine
wait_for_window morvel2 > /dev/null
close_and_wait_for_end "$pid"
expect_status 0
cmp "$drive_c/classe/$login.txt" "$scratch/linux-record.txt" \
    || fail "no record in C:\classe\$login.txt: $(ls "$drive_c/classe")"

step "exercises folder named by policy: a teacher's exercise offered with an example, a pupil chooses it"
# The teacher's folder: an example the MSI installed, the teacher's own
# exercise, and the choice of both, as the teacher's window writes it.
exercises="$drive_c/exercices-classe"
mkdir -p "$exercises"
cp "$installed/exercices/301-herisson.txt" "$exercises/"
cp "$teacher_exercise" "$exercises/304-le-voyage-des-hirondelles.txt"
printf '# Les exercices proposés aux élèves\n301-herisson.txt\n304-le-voyage-des-hirondelles.txt\n' \
    > "$exercises/proposes.conf"
wine reg add 'HKLM\Software\Policies\morvel2\morvel2\exercises' /v folder /d 'C:\exercices-classe' /f \
    > /dev/null 2>&1 || fail "reg add failed"
records_before=$(stat -c %s "$drive_c/classe/$login.txt")
start_program chooser
sleep 1
import -window root "$screenshots/chooser-under-wine.png"
# The second title, with the arrow and Enter, as a pupil at the keyboard.
# OCR reads a title best without the focus's frame: each screen is read.
xdotool key --delay 120 Down
sleep 0.5
import -window root "$scratch/chooser-second.png"
{
    read_screen "$screenshots/chooser-under-wine.png" threshold
    read_screen "$scratch/chooser-second.png" threshold
} > "$scratch/chooser.txt"
for title in 'Choisis ton exercice' 'Le hérisson du jardin' 'Le voyage des hirondelles'; do
    grep -qF "$title" "$scratch/chooser.txt" || fail "the first page does not show '$title': $(cat "$scratch/chooser.txt")"
done
xdotool key --delay 120 Return
sleep 1
import -window root "$screenshots/teacher-exercise-under-wine.png"
for answer in 1 3 3 4; do
    xdotool key --delay 120 "$answer"
    sleep 0.3
    xdotool key --delay 120 Return
    sleep 0.5
done
expect_new_record teacher-record.txt linux-record-teacher.txt "the teacher's exercise's record differs from the Linux one"
# The pupils' program as before for the steps that follow: nothing offered.
wine reg delete 'HKLM\Software\Policies\morvel2\morvel2\exercises' /f > /dev/null 2>&1 || fail "reg delete failed"

step "a pupil with reading adaptations, the page fitted to the screen: the same record"
# The folder the Policies key names; the class without adaptations, this
# pupil with a face for early readers, a larger text, wider spacing, the
# cream background and the ruler.
adaptations="$drive_c/adaptations-classe"
mkdir -p "$adaptations"
printf 'adaptations : non\n' > "$adaptations/classe.conf"
printf '%s\n' 'adaptations : oui' 'police : andika' 'taille : 150' 'interligne : 150' 'lettres : 10' 'mots : 20' \
    'fond : crème' 'règle : oui' > "$adaptations/eleve-$login.conf"
wine reg add 'HKLM\Software\Policies\morvel2\morvel2\adaptations' /v folder /d 'C:\adaptations-classe' /f \
    > /dev/null 2>&1 || fail "reg add failed"
wine reg add 'HKLM\Software\Policies\morvel2\morvel2\window' /v page /d fit /f > /dev/null 2>&1 \
    || fail "reg add failed"
records_before=$(stat -c %s "$drive_c/classe/$login.txt")
start_program adapted
sleep 1
import -window root "$screenshots/adapted-fit-under-wine.png"
# The passage's cream box, as large as the screen lets it be: the design's
# is 700 pixels wide.
box=$(convert "$screenshots/adapted-fit-under-wine.png" -alpha off -fill black +opaque '#FFF8DC' -format '%@' info:)
[[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no cream passage on the screen ($box)"
((BASH_REMATCH[1] >= 1000 && BASH_REMATCH[3] + BASH_REMATCH[1] <= 1920 && BASH_REMATCH[4] + BASH_REMATCH[2] <= 1080)) \
    || fail "the passage is not fitted to the 1920x1080 screen: $box"
echo "the cream passage: $box"
type_answers_under_wine
expect_new_record adapted-record.txt linux-record.txt "the adapted page's record differs from the design page's"
wine reg delete 'HKLM\Software\Policies\morvel2\morvel2\adaptations' /f > /dev/null 2>&1 || fail "reg delete failed"
wine reg delete 'HKLM\Software\Policies\morvel2\morvel2\window' /f > /dev/null 2>&1 || fail "reg delete failed"

step "teacher's window on this machine's class: \"Recueillir…\" asks with Qt's buttons in French"
wine "$program" --classe > /dev/null 2> "$scratch/stderr-classe-window" &
pid=$!
on_exit+=("kill -KILL $pid 2> /dev/null")
classe=$(window_of_program 'Résultats de la classe – C:.classe')
focus_window "$classe"
xdotool key alt+f
sleep 0.5
xdotool key r
box=$(window_of_program 'Recueillir les résultats')
import -window root "$screenshots/collect-question-under-wine.png"
# Its text and buttons as Qt copies them with Ctrl+C, the buttons on a line
# of their own: "Recueillir" is the program's, "Annuler" Qt's French.
xdotool windowactivate --sync "$box" 2> /dev/null || xdotool windowfocus --sync "$box"
tries=0
until [[ $(xclip -o -selection clipboard 2> /dev/null) == *Annuler* ]]; do
    ((tries++ < 20)) || fail "the question's text did not come through the clipboard"
    xdotool key ctrl+c
    sleep 0.5
done
buttons=$(xclip -o -selection clipboard | tr -d '\r' | grep -E '^ *Recueillir +Annuler *$') \
    || fail "the question's buttons are not Recueillir and Annuler: $(xclip -o -selection clipboard)"
echo "the question's buttons: $buttons"
xdotool key Escape
sleep 1

step "teacher's window: the PDF embeds the regular and the bold faces it uses"
focus_window "$classe"
xdotool key alt+f
sleep 0.5
xdotool key p
window_of_program 'Enregistrer en PDF' > /dev/null
sleep 1
# Wine's own dialog: the name field has the keyboard, holding bilan.pdf.
xdotool key End
xdotool key --repeat 20 BackSpace
xdotool type --delay 80 'C:\sortie\classe.pdf'
xdotool key Return
tries=0
until [[ -s $drive_c/sortie/classe.pdf ]] && pdffonts "$drive_c/sortie/classe.pdf" > "$scratch/pdffonts.txt" 2>&1; do
    ((tries++ < 100)) || fail "no PDF at C:\sortie\classe.pdf: $(visible_windows)"
    sleep 0.1
done
faces=$(awk 'NR > 2 && $1 ~ /^([A-Z]+\+)?LiberationSans/ && $(NF - 4) == "yes"' "$scratch/pdffonts.txt" | wc -l)
[[ $faces -ge 2 ]] \
    || fail "the PDF embeds $faces face(s) of Liberation Sans, not the regular and the bold: $(cat "$scratch/pdffonts.txt")"
wmctrl -i -c "$classe"
expect_status 0

step "unwritable log: said at start-up, then the French retry box"
# A folder stands where the log should be: no account may write it. The
# program says so at start-up, keeps the setting, and asks at the end.
mkdir -p "$drive_c/bloque/estest.txt"
wine reg add 'HKLM\Software\morvel2\morvel2\results' /v log /d 'C:\bloque\estest.txt' /f > /dev/null 2>&1 \
    || fail "reg add failed"
start_program blocked warned
type_answers_under_wine
box=$(window_of_program morvel2)
import -window root "$screenshots/retry-box-under-wine.png"
import -window "$box" "$scratch/retry-box.png"
read_screen "$scratch/retry-box.png" > "$scratch/retry.txt"
for text in "n'a pas pu être enregistré" 'permission refusée' Réessayer Abandonner; do
    grep -qF -- "$text" "$scratch/retry.txt" || fail "the retry box does not say '$text': $(cat "$scratch/retry.txt")"
done
kill -0 "$pid" 2> /dev/null || fail "the program ended instead of asking"

step "logout while the retry box is up: the record in the rescue log under %APPDATA%"
wineboot --end-session > "$scratch/end-session.log" 2>&1 || true
expect_status 1
rescue=$(find "$drive_c/users" -path '*/AppData/Roaming/morvel2/estest.txt' | head -1)
[[ -n $rescue ]] || fail "no rescue log under %APPDATA%: $(find "$drive_c/users" -name estest.txt)"
cmp "$rescue" "$scratch/linux-record.txt" || fail "the rescue log does not hold exactly the record: $(cat -A "$rescue")"
[[ -d $drive_c/bloque/estest.txt && -z $(ls -A "$drive_c/bloque/estest.txt") ]] || fail "the blocked log was touched"
wineserver -w

step "silent removal: msiexec /x /qn leaves no program files"
wine msiexec /x "$(windows_path "$(realpath "$msi")")" /qn > "$scratch/msiexec-remove.log" 2>&1 \
    || fail "msiexec /x ended with status $?: $(cat "$scratch/msiexec-remove.log")"
[[ ! -e $installed ]] || fail "left behind: $(find "$installed")"
[[ -z $(find "$drive_c" -name 'morvel2*.lnk') ]] || fail "a shortcut was left behind"
[[ -f $drive_c/estest.txt && -f $drive_c/classe/estest.txt && -f $rescue ]] || fail "a pupil's results went with the program"
finish_step
echo "screenshots in $screenshots"
