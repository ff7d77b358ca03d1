# The teacher's and technician's commands as typed in cmd on the installed
# program, under Wine: "morvel2 ..." finds morvel2.com, which waits and sets
# %ERRORLEVEL%; its French reaches a file as UTF-8 after one mark, lines
# ended by CR LF, and a console as characters its font has; the policy's
# log setting beats the pupil's own; and "morvel2" alone opens the
# exercise from morvel2.exe. Sourced by exercise.sh once the MSI is
# installed, before any setting is written: it uses that script's step,
# fail, $drive_c and $scratch, and leaves no setting behind.

# Writes the batch file C:\commandes\$1.bat: "@echo off", the move into
# the program's folder, then the lines after $1. In a batch file each line
# is read when it runs, so %ERRORLEVEL% is the status just set.
write_batch() {
    local name=$1 line
    shift
    mkdir -p "$drive_c/commandes" "$drive_c/sortie"
    {
        printf '@echo off\r\ncd /d "C:\\Program Files\\morvel2"\r\n'
        for line in "$@"; do printf '%s\r\n' "$line"; done
    } > "$drive_c/commandes/$name.bat"
}

# Writes it and runs it; cmd ends with the %ERRORLEVEL% it ends with.
run_batch() {
    write_batch "$@"
    wine cmd /c "C:\\commandes\\$1.bat"
}

# C:\sortie\$1 starts with the one mark, then UTF-8 holding each of the
# rest, every line ended by CR LF.
expect_marked_utf8() {
    local file=$drive_c/sortie/$1 text
    shift
    [[ -f $file ]] || fail "no C:\\sortie\\${file##*/}"
    [[ $(head -c 3 "$file" | od -An -tx1) == " ef bb bf" ]] \
        || fail "${file##*/} does not start with the mark: $(head -c 40 "$file" | od -c)"
    [[ $(LC_ALL=C grep -o $'\xef\xbb\xbf' "$file" | wc -l) -eq 1 ]] || fail "${file##*/} has more than one mark"
    iconv -f UTF-8 -t UTF-8 "$file" > /dev/null || fail "${file##*/} is not UTF-8: $(od -c "$file" | head)"
    [[ $(grep -c $'\r$' "$file") -eq $(wc -l < "$file") ]] \
        || fail "${file##*/} has lines not ended by CR LF: $(od -c "$file" | head)"
    for text in "$@"; do
        grep -qF -- "$text" "$file" || fail "${file##*/} does not say '$text': $(cat "$file")"
    done
}

expect_errorlevel() {
    local said
    said=$(tr -d '\r\n ' < "$drive_c/sortie/$1")
    [[ $said == "$2" ]] || fail "%ERRORLEVEL% was '$said' after $1, not $2"
}

# A class folder whose one pupil got the last answer wrong: the summary then
# has é, ✓, ✗ and « » in it.
make_class_folder() {
    mkdir -p "$drive_c/bilan"
    python3 - "$(dirname "$0")/linux-record.txt" "$drive_c/bilan/eleve.txt" << 'EOF'
import sys
record = open(sys.argv[1], "rb").read()
record = record.replace(b"justes: 4 ", b"justes: 3 ")
record = record.replace(b"faux:   score:4          L'album", b"faux: 1    score:3       L'album")
last = record.rindex(b"2")
record = record[:last] + b"1" + record[last + 1:]
assert len(record) == 310
open(sys.argv[2], "wb").write(record)
EOF
}

step "cmd: PATHEXT finds morvel2.com before morvel2.exe"
pathext=$(wine cmd /c 'echo %PATHEXT%' 2> /dev/null | tr -d '\r' | tr '[:lower:]' '[:upper:]')
[[ $pathext == *.COM*.EXE* ]] || fail "PATHEXT is '$pathext'"

step "cmd: morvel2 --bilan, a mistake, --version, morvel2.exe into files: one mark, UTF-8, %ERRORLEVEL%"
make_class_folder
run_batch files \
    'morvel2 --bilan C:\bilan > C:\sortie\bilan.txt' '> C:\sortie\bilan-status.txt echo %ERRORLEVEL%' \
    'morvel2 --bilan C:\absent > C:\sortie\absent.txt 2>&1' '> C:\sortie\absent-status.txt echo %ERRORLEVEL%' \
    'morvel2 --inconnue 2> C:\sortie\unknown.txt' '> C:\sortie\unknown-status.txt echo %ERRORLEVEL%' \
    'morvel2 --version > C:\sortie\version.txt' 'morvel2 --version >> C:\sortie\version.txt' \
    'morvel2.exe --bilan C:\absent > nul 2> C:\sortie\exe.txt' '> C:\sortie\exe-status.txt echo %ERRORLEVEL%' \
    > "$scratch/batch-files.log" 2>&1 || true
expect_marked_utf8 bilan.txt 'Bilan : 1 élève, 1 essai' '3 ✓' '1 ✗' '« La popularité de la collection »' 'idée 4'
expect_errorlevel bilan-status.txt 0
expect_marked_utf8 absent.txt 'morvel2 : impossible de lire C:\absent'
expect_errorlevel absent-status.txt 1
expect_marked_utf8 unknown.txt 'morvel2 : option inconnue : --inconnue' 'Essayez « morvel2 --help ».'
expect_errorlevel unknown-status.txt 2
expect_marked_utf8 version.txt 'morvel2 1.0.0'
[[ $(grep -c 'morvel2 1.0.0' "$drive_c/sortie/version.txt") -eq 2 ]] || fail "'>>' did not add the second version"
# The window program too, when it is given a file to write to.
expect_marked_utf8 exe.txt 'morvel2 : impossible de lire C:\absent'
expect_errorlevel exe-status.txt 1

step "cmd: ends with the status morvel2.com gave"
status=0
run_batch last 'morvel2 --bilan C:\absent > nul 2>&1' > /dev/null 2>&1 || status=$?
[[ $status -eq 1 ]] || fail "cmd ended with $status after morvel2 --bilan C:\\absent, not 1"

step "console: morvel2 --bilan on a terminal: French characters, √ and × for ✓ and ✗, no mark, %ERRORLEVEL%"
command -v script > /dev/null || fail "script(1) is missing (util-linux)"
write_batch console 'morvel2 --bilan C:\bilan' 'echo status=%ERRORLEVEL%' 'morvel2 --bilan C:\absent' \
    'echo status=%ERRORLEVEL%'
# Wine gives a console only to a program started on a terminal, and draws
# it there in the terminal's UTF-8 between cursor codes.
LANG=C.UTF-8 TERM=dumb script -qc 'wine cmd /c C:\\commandes\\console.bat' /dev/null < /dev/null \
    | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d '\r' > "$scratch/console.txt"
for text in 'Bilan : 1 élève, 1 essai' '3 √' '1 ×' '(√ : le paragraphe juste)' '« La popularité de la collection »' \
    'status=0' 'morvel2 : impossible de lire C:\absent' 'status=1'; do
    grep -qF -- "$text" "$scratch/console.txt" \
        || fail "the console does not show '$text': $(cat "$scratch/console.txt")"
done
! LC_ALL=C grep -q $'\xef\xbb\xbf' "$scratch/console.txt" || fail "a mark reached the console"
! grep -q '[✓✗]' "$scratch/console.txt" || fail "✓ or ✗, which console fonts lack, reached the console"

step "policy: HKLM's Policies setting wins over the pupil's own; --verifier names it, tries it, reads the folder's rights"
mkdir -p "$drive_c/politique" "$drive_c/eleve"
wine reg add 'HKCU\Software\morvel2\morvel2\results' /v log /d 'C:\eleve\triche.txt' /f > /dev/null 2>&1 \
    || fail "reg add HKCU failed"
wine reg add 'HKLM\Software\Policies\morvel2\morvel2\results' /v log /d 'C:\politique\%u.txt' /f > /dev/null 2>&1 \
    || fail "reg add HKLM Policies failed"
run_batch verify 'morvel2 --verifier > C:\sortie\verify.txt' '> C:\sortie\verify-status.txt echo %ERRORLEVEL%' \
    'morvel2 --help > C:\sortie\help.txt' > /dev/null 2>&1
# Run as the folder's owner, whose Wine gives every account the right to
# read what is made there: said, with status 1.
expect_marked_utf8 verify.txt \
    'Réglage : HKEY_LOCAL_MACHINE\Software\Policies\morvel2\morvel2\results, valeur « log »' \
    'Les résultats vont dans : C:\politique\' '(un fichier par élève)' \
    'Le dossier C:\politique est le vôtre' \
    'Essai : le fichier a pu être créé, ouvert pour y ajouter et verrouillé, puis retiré.' \
    'Peuvent lister le dossier C:\politique : ' 'Peuvent lire les fichiers créés dans C:\politique : '
! grep -q triche "$drive_c/sortie/verify.txt" || fail "--verifier names the pupil's own setting"
! grep -q '\[results\]' "$drive_c/sortie/verify.txt" || fail "--verifier speaks of Linux's [results] group"
[[ -z $(ls -A "$drive_c/politique") ]] || fail "--verifier left $(ls -A "$drive_c/politique")"
if grep -qF "n'est pas à l'abri des camarades" "$drive_c/sortie/verify.txt"; then
    expect_errorlevel verify-status.txt 1
else
    expect_errorlevel verify-status.txt 0
fi
expect_marked_utf8 help.txt 'Le fichier de résultats : C:\politique\'
wine reg delete 'HKLM\Software\Policies\morvel2' /f > /dev/null 2>&1 || fail "reg delete HKLM Policies failed"
wine reg delete 'HKCU\Software\morvel2' /f > /dev/null 2>&1 || fail "reg delete HKCU failed"

step "cmd: morvel2 alone returns at once with 0, and morvel2.exe shows the exercise"
status=0
# cmd waits for what a batch file starts, a window program too: bounded,
# since a companion that waited for the window would hold it until the
# exercise ends.
timeout 30 bash -c "$(declare -f write_batch run_batch); drive_c='$drive_c'; run_batch window morvel2" > /dev/null \
    2> "$scratch/stderr-from-cmd" || status=$?
[[ $status -eq 0 ]] || fail "cmd ended with $status, not 0: $(cat "$scratch/stderr-from-cmd")"
from_cmd=$(window_of_program Form1)
wine taskkill /f /im morvel2.exe > /dev/null 2>&1 || fail "taskkill could not end morvel2.exe"
tries=0
while xdotool search --onlyvisible --name '^Form1$' > /dev/null 2>&1; do
    ((tries++ < 50)) || fail "window $from_cmd stayed after morvel2.exe was ended"
    sleep 0.1
done

step "cmd: morvel2 --classe C:\\bilan opens the teacher's window on the class, and returns at once"
status=0
timeout 30 bash -c "$(declare -f write_batch run_batch); drive_c='$drive_c'; run_batch classe 'morvel2 --classe C:\\bilan'" \
    > /dev/null 2> "$scratch/stderr-classe" || status=$?
[[ $status -eq 0 ]] || fail "cmd ended with $status, not 0: $(cat "$scratch/stderr-classe")"
# The title names the folder, whose backslash a pattern would take as an escape.
classe=$(window_of_program 'Résultats de la classe – C:.bilan')
import -window "$classe" "$screenshots/class-window-under-wine.png" 2> /dev/null || true
wine taskkill /f /im morvel2.exe > /dev/null 2>&1 || fail "taskkill could not end morvel2.exe"
