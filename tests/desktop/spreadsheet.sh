#!/usr/bin/env bash
# A teacher's view of --bilan --csv: logs written by the real window, in
# pupils' files with accented names, gathered into a class folder, then the
# CSV opened by LibreOffice Calc the way a French spreadsheet imports it. Every
# cell must come out as written: accents intact, an empty answer left empty
# in its own column, answers, marks and scores as numbers.
source "$(dirname "$0")/common.sh"
program=$1
python=/usr/bin/python3
need xdotool soffice
[[ -x $python ]] || skip "python3 is not installed"

# One attempt in the real window, in home folder $1, the four answers
# $2..$5 typed as given, an empty one with Enter alone.
attempt() {
    local home="$scratch/homes/$1" answer window pid
    shift
    install -d -m 700 "$home" "$home/runtime"
    # A sanitizer build's leak report would change the status the test checks.
    HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$program" &
    pid=$!
    on_exit+=("kill -KILL $pid 2> /dev/null")
    window=$(wait_for_window Form1)
    xdotool windowfocus --sync "$window"
    for answer in "$@"; do
        [[ -z $answer ]] || xdotool type --delay 20 "$answer"
        xdotool key Return
        sleep 0.2
    done
    # Under load the closing box can come late; Enter before it would be lost.
    wait_for_window morvel2 > /dev/null
    close_and_wait_for_end "$pid"
    wait "$pid" || fail "the program ended with status $? after answering $*"
}

SECONDS=0
start_display
attempt francois 1234 4 2 ''
attempt leo 3 '' 1 21
attempt zoe 2 3 4 1
attempt zoe 3 4 1 2

class="$scratch/classe"
mkdir "$class"
for pupil in francois:françois:1 leo:léo:1 zoe:zoé:2; do
    IFS=: read -r home name attempts <<< "$pupil"
    log="$scratch/homes/$home/estest.txt"
    [[ $(stat -c %s "$log" 2> /dev/null) -eq $((310 * attempts)) ]] \
        || fail "$name's log does not hold $attempts records of 310 bytes: $(cat -A "$log" 2> /dev/null)"
    cp "$log" "$class/$name.txt"
done
echo "4 attempts typed into the real window in $SECONDS s: françois.txt, léo.txt, zoé.txt"
# A pupil who writes into their own log what the window never would, and a
# file named like a formula, to run formulas on the teacher's machine: each
# must reach the spreadsheet as text.
: "${LOGDRIVER:?LOGDRIVER must name the logdriver program}"
"$LOGDRIVER" answers '=1+1' '+1' '@SUM(1;2)' '=HYPERLINK("http://exemple.invalid";"Voir")' > "$class/hugo.txt"
"$LOGDRIVER" answers 3 4 1 2 > "$class/=1+1.txt"

# The teacher's machine may have no display at all.
csv="$scratch/bilan.csv"
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --bilan "$class" --csv "$csv" > "$scratch/table" 2> "$scratch/errors" \
    || fail "--bilan ended with status $?: $(cat "$scratch/errors")"
[[ -s $csv ]] || fail "no CSV was written; the table said: $(cat "$scratch/table")"
[[ $(head -c 3 "$csv" | od -An -tx1 | tr -d ' ') == efbbbf ]] || fail "the CSV does not start with a byte-order mark"
[[ $(LC_ALL=C grep -c $'\r$' "$csv") -eq 7 && $(wc -l < "$csv") -eq 7 ]] \
    || fail "the CSV is not 7 lines each ending in CR LF: $(cat -A "$csv")"
cp "$csv" "$scratch/before"
if "$program" --bilan "$class" --csv "$csv" > /dev/null 2>&1; then
    fail "--bilan wrote over an existing CSV"
fi
cmp -s "$csv" "$scratch/before" || fail "a second --bilan changed the existing CSV"
echo "--bilan without a display: a CSV with a byte-order mark and CR LF, left alone by a second run"

# As a French Calc imports it: ';' between fields, '"' around text, UTF-8
# (76), from line 1, standard column types, French (1036) number reading.
# Flat ODS keeps each cell's type, which a CSV written back would lose.
# Prints each row of the first sheet, cells by tabs: text in quotes, numbers
# bare, a date as "date:" and what Calc shows, an empty cell as nothing.
calc_cells() {
    local csv=$1 sheet
    mkdir -p "$scratch/lo-home"
    HOME="$scratch/lo-home" timeout 180 soffice -env:UserInstallation="file://$scratch/lo" --headless \
        --infilter='CSV:59,34,76,1,,1036' --convert-to fods --outdir "$scratch/calc" "$csv" \
        > "$scratch/soffice.log" 2>&1 || fail "LibreOffice failed: $(cat "$scratch/soffice.log")"
    sheet="$scratch/calc/$(basename "$csv" .csv).fods"
    [[ -s $sheet ]] || fail "LibreOffice wrote no spreadsheet: $(cat "$scratch/soffice.log")"
    PYTHONUTF8=1 "$python" - "$sheet" << 'EOF'
import sys
import xml.etree.ElementTree as ET

OFFICE = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"
TABLE = "urn:oasis:names:tc:opendocument:xmlns:table:1.0"
TEXT = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"

sheet = ET.parse(sys.argv[1]).getroot().find(f".//{{{TABLE}}}table")
for row in sheet.iter(f"{{{TABLE}}}table-row"):
    cells = []
    for cell in row.findall(f"{{{TABLE}}}table-cell"):
        kind = cell.get(f"{{{OFFICE}}}value-type")
        text = "\n".join("".join(p.itertext()) for p in cell.iter(f"{{{TEXT}}}p"))
        if kind is None:
            shown = ""
        elif cell.get(f"{{{TABLE}}}formula"):  # run, not shown as written
            shown = f"formula:{cell.get(f'{{{TABLE}}}formula')}"
        elif kind == "string":
            shown = f'"{text}"'
        elif kind == "float":
            shown = cell.get(f"{{{OFFICE}}}value")
        else:  # a date, a percentage...: something misread, as Calc shows it
            shown = f"{kind}:{text}"
        # Calc runs equal cells together, up to the last column for the empty
        # tail of a row.
        repeat = int(cell.get(f"{{{TABLE}}}number-columns-repeated", "1"))
        cells.extend([shown] * min(repeat, 64))
    while cells and not cells[-1]:
        cells.pop()
    if cells:
        print("\t".join(cells))
EOF
}
calc_cells "$csv" > "$scratch/cells"

# Each row ends with its exercise's code and title (and, of the attempts, its ideas).
exercise='202	"Morvel-sens paragraphes:(3412)"'

expected=$(printf '%s\n' \
    '"élève"	"essai"	"réponse 1"	"réponse 2"	"réponse 3"	"réponse 4"	"juste 1"	"juste 2"	"juste 3"	"juste 4"	"score"	"remarque"	"code"	"exercice"	"idées"' \
    "\"'=1+1\"	1	3	4	1	2	1	1	1	1	4		$exercise	4" \
    '"françois"	1	1234	4	2		0	1	0	0	1		'"$exercise"'	4' \
    "\"hugo\"	1	\"'=1+1\"	\"'+1\"	\"'@SUM(1;2)\"	\"'=HYPERLINK(\"h…\"	0	0	0	0	0	\"réponse qui n'a pas été tapée dans l'exercice\"	$exercise	4" \
    '"léo"	1	3		1	21	1	0	1	0	2		'"$exercise"'	4' \
    '"zoé"	1	2	3	4	1	0	0	0	0	0		'"$exercise"'	4' \
    '"zoé"	2	3	4	1	2	1	1	1	1	4		'"$exercise"'	4')
diff <(echo "$expected") "$scratch/cells" > "$scratch/diff" \
    || fail "Calc does not read the CSV as written (< expected, > read):"$'\n'"$(cat "$scratch/diff")"
echo "LibreOffice Calc, French CSV import (59,34,76,1,,1036), read back cell by cell:"
sed 's/^/  /' "$scratch/cells"
echo "  the formulas hugo put in his log and in a file's name as text, behind an apostrophe, never run;" \
    "his answer longer than the record's zone cut and flagged"
echo "  header texts and pupils' names with their accents, the empty answers of françois (4) and léo (2) empty" \
    "in their own column, answers (3, 21, 1234), marks and scores (0 included) numbers"

# The class table as the window shows it, exported from the window itself:
# a row per pupil in the window's order, the scores as numbers, the last
# attempt a date Calc reads as one.
teacher="$scratch/homes/teacher"
install -d -m 700 "$teacher" "$teacher/Documents" "$teacher/runtime"
HOME="$teacher" XDG_RUNTIME_DIR="$teacher/runtime" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$program" --classe "$class" &
teacher_pid=$!
on_exit+=("kill -KILL $teacher_pid 2> /dev/null")
xdotool windowfocus --sync "$(wait_for_window "Résultats de la classe – $class")"
sleep 1
xdotool key ctrl+e
sleep 0.5
xdotool key Return # the first choice: the class table
xdotool windowfocus --sync "$(wait_for_window "Exporter le tableau de la classe")"
sleep 0.5
xdotool key Return # under the name offered, in Documents
table="$teacher/Documents/tableau.csv"
for ((tries = 0; tries < 100; tries++)); do [[ -s $table ]] && break; sleep 0.1; done
[[ -s $table ]] || fail "the window wrote no class table"
kill "$teacher_pid"
calc_cells "$table" | sed -E 's/date:[^\t]*/date/' > "$scratch/table-cells"
expected=$(printf '%s\n' \
    '"élève"	"essais"	"idée 1"	"idée 2"	"idée 3"	"idée 4"	"score sur 4"	"meilleur sur 4"	"dernier essai"	"remarque"	"code"	"exercice"' \
    "\"'=1+1\"	1	\"3 ✓\"	\"4 ✓\"	\"1 ✓\"	\"2 ✓\"	4	4	date		$exercise" \
    '"françois"	1	"1234 ✗"	"4 ✓"	"2 ✗"	"–"	1	1	date		'"$exercise" \
    "\"hugo\"	1	\"'=1+1 ✗*\"	\"'+1 ✗*\"	\"'@SUM(1;2) ✗*\"	\"'=HYPERLINK(\"h… ✗*\"	0	0	date	\"réponse qui n'a pas été tapée dans l'exercice\"	$exercise" \
    '"léo"	1	"3 ✓"	"–"	"1 ✓"	"21 ✗"	2	2	date		'"$exercise" \
    '"zoé"	2	"3 ✓"	"4 ✓"	"1 ✓"	"2 ✓"	4	4	date		'"$exercise")
diff <(echo "$expected") "$scratch/table-cells" > "$scratch/diff" \
    || fail "Calc does not read the class table as the window shows it (< expected, > read):"$'\n'"$(cat "$scratch/diff")"
echo "The class table exported from the window, read back by Calc:"
sed 's/^/  /' "$scratch/table-cells"
echo "  a row per pupil in the window's order, scores as numbers, the last attempt as a date"
echo "done in $SECONDS s"
