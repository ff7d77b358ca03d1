#!/usr/bin/env bash
# A class folder set up as docs/deployment.md says, with real accounts: a
# teacher, four pupils, the folder the teacher's with the teachers' group,
# mode 3733, and the setting log=.../%u.txt. Each pupil saves through the
# program's own saving code; a classmate then tries everything against
# another's log, plants files and links, and the teacher collects, also
# onto a small disk, under a file-size limit and interrupted by signals.
# Lists of rights (ACL) that would open a log or the folder to the
# classmates are tried too.
# Each step names itself; the first that does not hold fails the test.
source "$(dirname "$0")/common.sh"
: "${MORVEL2:?MORVEL2 must name the program}"

is_root || { echo "skipped: creating accounts and switching to them needs root"; exit "$SKIP"; }
for tool in setpriv useradd flock prlimit strace pgrep setfacl getfacl; do
    command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit "$SKIP"; }
done

tag=$(($$ % 100000))
teachers=m2profs$tag
pupils_group=m2eleves$tag
prof=m2prof$tag lea=m2lea$tag hugo=m2hugo$tag zoe=m2zoe$tag max=m2max$tag ines=m2ines$tag
accounts=("$prof" "$lea" "$hugo" "$zoe" "$max" "$ines")
school=$scratch/ecole
mkdir -p "$school/bin" "$school/home"
chmod 755 "$scratch" "$school" "$school/bin" "$school/home"

remove_accounts() {
    for name in "${accounts[@]}"; do
        pkill -KILL -u "$name" 2> /dev/null || true
        userdel -r "$name" > /dev/null 2>&1 || true
    done
    groupdel "$teachers" 2> /dev/null || true
    groupdel "$pupils_group" 2> /dev/null || true
}
trap 'remove_accounts; cleanup' EXIT

groupadd "$teachers"
for name in "${accounts[@]}"; do
    useradd -m -d "$school/home/$name" -s /bin/sh -U "$name"
    chmod 755 "$school/home/$name"
done
usermod -a -G "$teachers" "$prof"
groupadd "$pupils_group"
for name in "$lea" "$hugo" "$zoe" "$max" "$ines"; do usermod -a -G "$pupils_group" "$name"; done
# The programs where every account may run them.
install -m 755 "$LOGDRIVER" "$school/bin/logdriver"
install -m 755 "$MORVEL2" "$school/bin/morvel2"

step=""
step() { step=$1; }
fail_step() { fail "$step: $*"; }
ok() { echo "ok: $step${1:+: $1}"; }

# Sets $login to the command that runs what follows it as account $1 with
# umask $2 and the settings of folder $3, in a login's environment; each
# part execs the next, so that a signal to it reaches the program.
as_login() {
    local name=$1 mask=$2 settings=$3 home=$school/home/$1
    login=(setpriv --reuid="$name" --regid="$name" --init-groups
        env -i HOME="$home" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 XDG_CONFIG_DIRS="$settings"
        XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" QT_QPA_PLATFORM=offscreen
        ASAN_OPTIONS="${ASAN_OPTIONS:-}"
        sh -c 'umask "$0"; exec "$@"' "$mask")
}
as() {
    as_login "$1" "$2" "$3"
    shift 3
    "${login[@]}" "$@"
}
# A setting folder whose morvel2.conf names $2.
setting() {
    mkdir -p "$school/$1/morvel2"
    printf '[results]\nlog=%s\n' "$2" > "$school/$1/morvel2/morvel2.conf"
    chmod -R a+rX "$school/$1"
}
record() { "$LOGDRIVER" record "$@"; }
records_in() { { "$LOGDRIVER" check "$1" || true; } | sed -n 's/^records=\([0-9]*\) .*/\1/p'; }
rescue_log() { echo "$school/home/$1/.local/share/morvel2/estest.txt"; }

classe=$school/classe
install -d -m 3733 -o "$prof" -g "$teachers" "$classe"
setting reglage-classe "$classe/%u.txt"
class_settings=$school/reglage-classe

step "pupils save into their own logs, whatever their umask"
out=$(as "$lea" 000 "$class_settings" "$school/bin/logdriver" save 1 0) || fail_step "$out"
[[ $out == "log $classe/$lea.txt" ]] || fail_step "lea's record went to: $out"
as "$lea" 077 "$class_settings" "$school/bin/logdriver" save 1 1 > /dev/null || fail_step "lea's second record"
as "$hugo" 002 "$class_settings" "$school/bin/logdriver" save 2 0 > /dev/null || fail_step "hugo's record"
for name in "$lea" "$hugo"; do
    mode=$(stat -c '%U:%G %a' "$classe/$name.txt")
    [[ $mode == "$name:$teachers 640" ]] || fail_step "$name's log is $mode"
done
ok "each log its pupil's, group $teachers, mode 640"

# What a classmate (hugo) can do to lea's log: each attempt must fail.
lea_log=$classe/$lea.txt
before=$(sha256sum < "$lea_log")
attempt() {
    local what=$1 whose=${target:-"lea's log"}
    shift
    step "hugo tries to $what $whose"
    if as "$hugo" 022 "$class_settings" sh -c "$*" > "$scratch/attempt.out" 2>&1; then
        fail_step "it worked: $(cat "$scratch/attempt.out")"
    fi
    ok "refused ($(tail -n 1 "$scratch/attempt.out" | sed 's/.*: //'))"
}
attempt read "cat '$lea_log'"
attempt "append to" "echo 202 faux >> '$lea_log'"
attempt truncate "truncate -s 0 '$lea_log'"
attempt delete "rm -f '$lea_log'"
attempt rename "mv '$lea_log' '$classe/vole.txt'"
attempt "change the mode of" "chmod 666 '$lea_log'"
attempt lock "flock -n '$lea_log' true"
attempt "list the class folder with" "ls '$classe'"
step "lea's log after the attempts"
[[ $(sha256sum < "$lea_log") == "$before" ]] || fail_step "it changed"
ok "unchanged"

step "a file planted under a classmate's name"
as "$hugo" 022 "$class_settings" sh -c "touch '$classe/$zoe.txt' && chmod 666 '$classe/$zoe.txt'"
if out=$(as "$zoe" 022 "$class_settings" "$school/bin/logdriver" save 3 0); then fail_step "saved into it: $out"; fi
[[ $out == "rescue $(rescue_log "$zoe")" ]] || fail_step "zoe's record went to: $out"
[[ ! -s $classe/$zoe.txt ]] || fail_step "something was written into the planted file"
[[ $(records_in "$(rescue_log "$zoe")") == 1 ]] || fail_step "zoe's rescue log"
rescue_modes=$(stat -c %a "$(rescue_log "$zoe")" "$(dirname "$(rescue_log "$zoe")")" | tr '\n' ' ')
[[ $rescue_modes == "600 700 " ]] || fail_step "zoe's rescue log and its folder are $rescue_modes"
if as "$hugo" 022 "$class_settings" cat "$(rescue_log "$zoe")" > /dev/null 2>&1; then
    fail_step "hugo reads zoe's rescue log"
fi
ok "refused; zoe's record in her rescue log, 600 in a 700 folder, which hugo cannot read"

step "a link planted under a classmate's name"
as "$max" 022 "$class_settings" sh -c "echo mes notes > ~/notes.txt && chmod 666 ~/notes.txt"
as "$hugo" 022 "$class_settings" ln -s "$school/home/$max/notes.txt" "$classe/$max.txt"
if out=$(as "$max" 022 "$class_settings" "$school/bin/logdriver" save 4 0); then fail_step "saved through it: $out"; fi
[[ $out == "rescue $(rescue_log "$max")" ]] || fail_step "max's record went to: $out"
[[ $(cat "$school/home/$max/notes.txt") == "mes notes" ]] || fail_step "max's notes changed"
ok "refused; max's notes unchanged, his record in his rescue log"

install -d -m 1777 "$school/partage"
step "a classmate's own folder where the class folder was meant to be"
# The same, with a real folder hugo made, open to all: he could delete or
# swap a log in it.
setting reglage-partage2 "$school/partage/cm3/%u.txt"
as "$hugo" 022 "$class_settings" mkdir -m 777 "$school/partage/cm3"
if out=$(as "$lea" 022 "$school/reglage-partage2" "$school/bin/logdriver" save 1 4); then
    fail_step "saved into it: $out"
fi
[[ -z $(ls -A "$school/partage/cm3") ]] || fail_step "a record landed in hugo's folder"
ok "refused; nothing in hugo's folder"

step "a classmate's link in a folder of the path"
# A folder anybody may write to, as /tmp is, where the class folder was
# meant to be made later: hugo makes it first, as a link to his own.
setting reglage-partage "$school/partage/cm2/%u.txt"
as "$hugo" 022 "$class_settings" sh -c "mkdir -m 777 ~/piege && ln -s ~/piege '$school/partage/cm2'"
if out=$(as "$lea" 022 "$school/reglage-partage" "$school/bin/logdriver" save 1 2); then
    fail_step "saved through it: $out"
fi
[[ -z $(ls -A "$school/home/$hugo/piege") ]] || fail_step "a record landed in hugo's folder"
ok "refused; nothing in hugo's folder"

step "hugo prepares traps for the teacher's collect"
# Hard links of his own file under other names, its lock held: the collect
# must not wait for that lock under each name. A name that would write to
# the teacher's terminal.
as "$hugo" 022 "$class_settings" sh -c "echo x > ~/l && for i in 1 2 3; do ln ~/l '$classe'/hl\$i.txt; done"
as_login "$hugo" 022 "$class_settings"
"${login[@]}" flock -x "$school/home/$hugo/l" sleep 600 &
holder=$!
escape_name=$(printf 'x\033[2Jy')
as "$hugo" 022 "$class_settings" sh -c "echo x > '$classe/$escape_name.txt'"
ok

step "the teacher collects the class"
status=0
out=$(as "$prof" 022 "$class_settings" "$school/bin/morvel2" --collect "$school/home/$prof/releve" 2> "$scratch/collect.err") || status=$?
[[ $status -eq 1 ]] || fail_step "status $status (the planted file and link should be reported)"
kill "$holder" 2> /dev/null || true
[[ $out == "2 élèves, 3 résultats recueillis dans $school/home/$prof/releve." ]] || fail_step "said: $out"
for i in 1 2 3; do
    grep -q "hl$i.txt : il appartient à $hugo, pas à hl$i" "$scratch/collect.err" \
        || fail_step "the hard link hl$i.txt: $(cat "$scratch/collect.err")"
done
grep -q $'\033' "$scratch/collect.err" && fail_step "a file name wrote an escape sequence to the terminal"
grep -q 'x?\[2Jy.txt : il appartient' "$scratch/collect.err" || fail_step "$(cat "$scratch/collect.err")"
grep -q "$zoe.txt : il appartient à $hugo, pas à $zoe" "$scratch/collect.err" || fail_step "$(cat "$scratch/collect.err")"
grep -q "$max.txt : c'est un lien symbolique" "$scratch/collect.err" || fail_step "$(cat "$scratch/collect.err")"
[[ $(stat -c '%U %a' "$school/home/$prof/releve") == "$prof 700" ]] || fail_step "the folder"
for pair in "$lea:1:0:2" "$hugo:2:0:1"; do
    IFS=: read -r name writer first count <<< "$pair"
    collected=$school/home/$prof/releve/$name.txt
    [[ $(stat -c '%U %a' "$collected") == "$prof 600" ]] || fail_step "$collected is $(stat -c '%U %a' "$collected")"
    cmp -s "$collected" <(record "$writer" "$first" "$count") || fail_step "$name's records changed"
    [[ ! -e $classe/$name.txt ]] || fail_step "$name's log is still in the class folder"
done
ok "every record once, the teacher's, mode 600; the planted file and link left and named"

step "the teacher's --bilan on the class folder, where hugo put a link to /dev/zero"
as "$hugo" 022 "$class_settings" ln -s /dev/zero "$classe/zero.txt"
status=0
as "$prof" 022 "$class_settings" timeout 60 "$school/bin/morvel2" --bilan "$classe" > /dev/null 2> "$scratch/bilan.err" \
    || status=$?
[[ $status -eq 1 ]] || fail_step "status $status"
grep -q "zero.txt : c'est un lien symbolique" "$scratch/bilan.err" || fail_step "said: $(cat "$scratch/bilan.err")"
ok "the link named, not followed"

step "the teacher collects into a folder hugo made"
as "$hugo" 022 "$class_settings" mkdir -m 777 "$school/partage/releve"
status=0
as "$prof" 022 "$class_settings" "$school/bin/morvel2" --collect "$school/partage/releve" > /dev/null 2> "$scratch/into.err" \
    || status=$?
[[ $status -eq 1 ]] || fail_step "status $status"
grep -q "le dossier $school/partage/releve appartient à un autre compte" "$scratch/into.err" \
    || fail_step "said: $(cat "$scratch/into.err")"
ok "refused"

step "the next record after the collect"
as "$lea" 022 "$class_settings" "$school/bin/logdriver" save 1 3 > /dev/null || fail_step "lea's record"
[[ $(records_in "$classe/$lea.txt") == 1 ]] || fail_step "lea's new log"
ok "a new log"

# Each unsafe class folder below: the pupil's record must go to her rescue
# log, the reason said, nothing left where a classmate could read it.
refused_folder() {
    local settings=$1 folder=$2 says=$3 out
    if out=$(as "$lea" 022 "$settings" "$school/bin/logdriver" save 1 9 2> "$scratch/refused.err"); then
        fail_step "saved into it: $out"
    fi
    [[ $out == "rescue $(rescue_log "$lea")" ]] || fail_step "lea's record went to: $out"
    grep -qF "$says" "$scratch/refused.err" || fail_step "said: $(cat "$scratch/refused.err")"
    [[ ! -e $folder/$lea.txt ]] || fail_step "a log was made in $folder: $(stat -c '%U:%G %a' "$folder/$lea.txt")"
    ok "refused ($says)"
}

step "the shared-log folder of the docs, the pupils' group's, with %u"
install -d -m 2775 -g "$pupils_group" "$school/classe-mix"
setting reglage-mix "$school/classe-mix/%u.txt"
refused_folder "$school/reglage-mix" "$school/classe-mix" \
    "d'autres comptes peuvent écrire dans le dossier $school/classe-mix sans le bit sticky"

step "a classmate's class folder in a folder anybody may write, as /tmp"
as "$hugo" 022 "$class_settings" sh -c "mkdir '$school/partage/cm4' && chmod 3777 '$school/partage/cm4'"
setting reglage-cm4 "$school/partage/cm4/%u.txt"
refused_folder "$school/reglage-cm4" "$school/partage/cm4" "le dossier $school/partage/cm4 appartient à $hugo"

step "the class folder in a folder the pupils' group may write, swapped by a classmate"
install -d -m 2775 -g "$pupils_group" "$school/ec"
install -d -m 3733 -o "$prof" -g "$teachers" "$school/ec/cm1"
setting reglage-ec "$school/ec/cm1/%u.txt"
refused_folder "$school/reglage-ec" "$school/ec/cm1" \
    "d'autres comptes peuvent écrire dans le dossier $school/ec sans le bit sticky"
as "$hugo" 022 "$class_settings" sh -c "cd '$school/ec' && mv cm1 .cm1-cache && mkdir cm1 && chmod 3777 cm1"
refused_folder "$school/reglage-ec" "$school/ec/cm1" "$school/ec"

step "a class folder without the setgid bit"
install -d -m 1733 -o "$prof" -g "$teachers" "$school/sans-setgid"
setting reglage-sans-setgid "$school/sans-setgid/%u.txt"
refused_folder "$school/reglage-sans-setgid" "$school/sans-setgid" \
    "le dossier $school/sans-setgid n'a pas le bit setgid"

step "--verifier, as a pupil, on the class folder and on an unsafe one"
out=$(as "$lea" 022 "$class_settings" "$school/bin/morvel2" --verifier) || fail_step "status $?: $out"
grep -qx "Cet emplacement est sûr." <<< "$out" || fail_step "said: $out"
status=0
out=$(as "$lea" 022 "$school/reglage-sans-setgid" "$school/bin/morvel2" --verifier) || status=$?
[[ $status -eq 1 ]] || fail_step "status $status on the folder without setgid: $out"
grep -qF "n'a pas le bit setgid" <<< "$out" || fail_step "said: $out"
ok "safe said of the recipe; the folder without setgid named, status 1"

step "--verifier, as the teacher, on the class folder"
status=0
out=$(as "$prof" 022 "$class_settings" "$school/bin/morvel2" --verifier) || status=$?
grep -qF "Le dossier $classe est le vôtre : c'est celui de la classe, dont vous êtes le professeur." <<< "$out" \
    || fail_step "said: $out"
grep -qF "lancée depuis le compte d'un élève" <<< "$out" || fail_step "said: $out"
grep -q "appartient à l'élève" <<< "$out" && fail_step "said: $out"
ok "the folder said to be the teacher's, status $status"

# A default list of rights on the class folder, as setfacl -d -m g:eleves:r
# leaves it, would give each new log group:eleves:r--.
acl_class=$school/classe-acl
install -d -m 3733 -o "$prof" -g "$teachers" "$acl_class"
setfacl -d -m "g:$pupils_group:r" "$acl_class"
setting reglage-acl "$acl_class/%u.txt"
step "a default ACL for the pupils' group: --verifier, then lea saves"
out=$(as "$lea" 022 "$school/reglage-acl" "$school/bin/morvel2" --verifier) || fail_step "status $?: $out"
grep -qx "Cet emplacement est sûr." <<< "$out" || fail_step "said: $out"
grep -qF "donnerait à chaque nouveau fichier des droits pour le groupe $pupils_group" <<< "$out" || fail_step "said: $out"
[[ -z $(ls -A "$acl_class") ]] || fail_step "--verifier left: $(ls -A "$acl_class")"
out=$(as "$lea" 022 "$school/reglage-acl" "$school/bin/logdriver" save 1 20) || fail_step "$out"
[[ $out == "log $acl_class/$lea.txt" ]] || fail_step "lea's record went to: $out"
getfacl -cp "$acl_class/$lea.txt" 2> /dev/null | grep -q "$pupils_group" && fail_step "$(getfacl -p "$acl_class/$lea.txt")"
target="lea's log made under the default ACL" attempt read "cat '$acl_class/$lea.txt'"
step "the teacher reads lea's log made under the default ACL"
as "$prof" 022 "$school/reglage-acl" cat "$acl_class/$lea.txt" > /dev/null || fail_step "refused"
ok

step "an older log the default ACL opened to the pupils' group"
# As an earlier writer left it: made 640 under the default list.
as "$zoe" 022 "$school/reglage-acl" sh -c "touch '$acl_class/$zoe.txt' && chmod 640 '$acl_class/$zoe.txt'"
as "$hugo" 022 "$school/reglage-acl" cat "$acl_class/$zoe.txt" > /dev/null || fail_step "hugo could not read it to begin with"
status=0
out=$(as "$zoe" 022 "$school/reglage-acl" "$school/bin/morvel2" --verifier) || status=$?
[[ $status -eq 1 ]] || fail_step "--verifier: status $status: $out"
grep -qF "la liste de droits (ACL) du fichier $acl_class/$zoe.txt permet au groupe $pupils_group de le lire" <<< "$out" \
    || fail_step "said: $out"
out=$(as "$zoe" 022 "$school/reglage-acl" "$school/bin/logdriver" save 3 20) || fail_step "$out"
[[ $out == "log $acl_class/$zoe.txt" ]] || fail_step "zoe's record went to: $out"
ok "said by --verifier, status 1; zoe's record in her log"
target="zoe's older log, once she saved" attempt read "cat '$acl_class/$zoe.txt'"

step "an ACL that lets the pupils' group list the class folder"
setfacl -m "g:$pupils_group:rwx" "$acl_class"
rm -f "$acl_class/$lea.txt"
status=0
out=$(as "$lea" 022 "$school/reglage-acl" "$school/bin/morvel2" --verifier) || status=$?
[[ $status -eq 1 ]] || fail_step "--verifier: status $status: $out"
grep -qF "la liste de droits (ACL) du dossier $acl_class permet au groupe $pupils_group de le lister" <<< "$out" \
    || fail_step "said: $out"
refused_folder "$school/reglage-acl" "$acl_class" "permet au groupe $pupils_group de le lister"

step "a pupil's own setting that tries to move her log"
as "$lea" 022 "$class_settings" sh -c 'mkdir -p ~/.config/morvel2 ~/faux/morvel2 &&
    printf "[results]\nlog=%s\n" "$HOME/ailleurs.txt" | tee ~/.config/morvel2/morvel2.conf > ~/faux/morvel2/morvel2.conf'
out=$(as "$lea" 022 "$class_settings" "$school/bin/logdriver" save 1 10) || fail_step "$out"
[[ $out == "log $classe/$lea.txt" ]] || fail_step "her own setting sent it to: $out"
out=$(as "$lea" 022 "$school/home/$lea/faux:$class_settings" "$school/bin/logdriver" save 1 11) || fail_step "$out"
[[ $out == "log $classe/$lea.txt" ]] || fail_step "a folder of hers in XDG_CONFIG_DIRS sent it to: $out"
[[ ! -e $school/home/$lea/ailleurs.txt ]] || fail_step "a record landed where her setting said"
ok "the class's setting wins, in ~/.config and in XDG_CONFIG_DIRS"

step "a file planted with plain touch under a classmate's name"
as "$hugo" 022 "$class_settings" touch "$classe/$ines.txt"
if out=$(as "$ines" 022 "$class_settings" "$school/bin/logdriver" save 5 0 2> "$scratch/touch.err"); then
    fail_step "saved into it: $out"
fi
grep -qF "refused: ce fichier appartient à un autre utilisateur" "$scratch/touch.err" \
    || fail_step "not refused as planted: $(cat "$scratch/touch.err")"
ok "refused as somebody else's file, not a permission to retry"

step "a file planted at a classmate's name, read by the teacher's --bilan"
# zoe.txt is still hugo's file from the plant above: a record of his in it.
"$LOGDRIVER" record 2 7 > "$scratch/hugo-record"
as "$hugo" 022 "$class_settings" sh -c "cat '$scratch/hugo-record' >> '$classe/$zoe.txt'"
[[ $(stat -c %U "$classe/$zoe.txt") == "$hugo" ]] || fail_step "zoe.txt is not hugo's"
status=0
as "$prof" 022 "$class_settings" timeout 60 "$school/bin/morvel2" --bilan "$classe" > "$scratch/bilan.out" \
    2> "$scratch/bilan.err" || status=$?
[[ $status -eq 1 ]] || fail_step "status $status: $(cat "$scratch/bilan.err")"
grep -qF "$zoe.txt : il appartient à $hugo, pas à $zoe" "$scratch/bilan.err" \
    || fail_step "said: $(cat "$scratch/bilan.err")"
grep -q "^$zoe " "$scratch/bilan.out" && fail_step "counted as zoe: $(cat "$scratch/bilan.out")"
ok "set aside and named"

step "a FIFO and a link to a classmate's log swapped over his own, again and again, during --bilan"
as "$hugo" 022 "$class_settings" "$school/bin/logdriver" save 2 8 > /dev/null || fail_step "hugo's record"
as_login "$hugo" 022 "$class_settings"
"${login[@]}" sh -c "end=\$((\$(date +%s) + 4)); while [ \$(date +%s) -lt \$end ]; do
    mkfifo ~/f 2> /dev/null; mv -f ~/f '$classe/$hugo.txt'; ln -sf '$classe/$lea.txt' ~/l; mv -f ~/l '$classe/$hugo.txt'
    done" &
swapper=$!
runs=0
while kill -0 "$swapper" 2> /dev/null; do
    status=0
    as "$prof" 022 "$class_settings" timeout 20 "$school/bin/morvel2" --bilan "$classe" > "$scratch/swap.out" \
        2> /dev/null || status=$?
    [[ $status -ne 124 ]] || fail_step "--bilan hung on hugo's FIFO"
    grep -q "^$hugo .*w001" "$scratch/swap.out" && fail_step "lea's record shown as hugo's: $(cat "$scratch/swap.out")"
    runs=$((runs + 1))
done
wait "$swapper" || true
ok "$runs runs of --bilan meanwhile: none hung, none showed lea's record as his"

step "a sparse log of her own, read and collected by the teacher"
rm -f "$classe/$zoe.txt" "$classe/$ines.txt" 2> /dev/null || true
as "$lea" 022 "$class_settings" truncate -s 20G "$classe/$lea.txt"
started=$(date +%s%N)
status=0
as "$prof" 022 "$class_settings" timeout 60 "$school/bin/morvel2" --bilan "$classe" > /dev/null 2> "$scratch/sparse.err" \
    || status=$?
[[ $status -eq 1 ]] || fail_step "--bilan: status $status"
grep -qF "$lea.txt : le fichier est creux" "$scratch/sparse.err" || fail_step "--bilan said: $(cat "$scratch/sparse.err")"
status=0
as "$prof" 022 "$class_settings" timeout 60 "$school/bin/morvel2" --collect "$school/home/$prof/creux" > /dev/null \
    2> "$scratch/sparse-collect.err" || status=$?
[[ $status -eq 1 ]] || fail_step "--collect: status $status"
grep -qF "le fichier est creux" "$scratch/sparse-collect.err" || fail_step "--collect said: $(cat "$scratch/sparse-collect.err")"
[[ -e $classe/$lea.txt && ! -e $school/home/$prof/creux/$lea.txt ]] || fail_step "the sparse log was moved"
ok "set aside by both in $((($(date +%s%N) - started) / 1000000)) ms, left in place"
as "$lea" 022 "$class_settings" sh -c "truncate -s 0 '$classe/$lea.txt'"

# A big log, collected onto another file system (a USB stick's tmpfs):
# copied, so each interruption must leave every record in the log or in the
# destination, never in both.
grande=$school/grande
install -d -m 3733 -o "$prof" -g "$teachers" "$grande"
setting reglage-grande "$grande/%u.txt"
big=$scratch/big.txt
# Its writers, 10 000 records each: 20 (62 MB) unless MORVEL2_BIG_LOG_WRITERS
# says fewer, as the sanitizer build does, where each record counted costs
# twenty times more; at least 3, so that the log outgrows the small disk and
# the size limit below.
big_writers=${MORVEL2_BIG_LOG_WRITERS:-20}
((big_writers >= 3)) || fail "MORVEL2_BIG_LOG_WRITERS is $big_writers: at least 3"
for writer in $(seq 100 $((99 + big_writers))); do record "$writer" 0 10000; done > "$big"
total=$(records_in "$big")
small_tmpfs usb 400m
chmod 777 "$mountpoint"
usb=$mountpoint
put_back() { rm -f "$grande/$lea.txt"; install -o "$lea" -g "$teachers" -m 640 "$big" "$grande/$lea.txt"; }
as_login "$prof" 022 "$school/reglage-grande"
collect_big=("${login[@]}" "$school/bin/morvel2" --collect)

step "collecting $total records onto another disk"
put_back
started=$(date +%s%N)
"${collect_big[@]}" "$usb/whole" > /dev/null || fail_step "status $?"
echo "collect of $(stat -c %s "$usb/whole/$lea.txt") bytes: $((($(date +%s%N) - started) / 1000000)) ms"
cmp -s "$usb/whole/$lea.txt" "$big" || fail_step "the copy differs"
[[ ! -e $grande/$lea.txt ]] || fail_step "the log is still there"
ok

# (A background command starts with SIGINT ignored: SIGHUP stands for it.)
for signal_delay in KILL:0.02 KILL:0.05 KILL:0.1 KILL:0.2 TERM:0.02 TERM:0.05 HUP:0.1; do
    IFS=: read -r signal delay <<< "$signal_delay"
    step "collect interrupted by SIG$signal after ${delay}s"
    put_back
    destination=$usb/cut-$signal-$delay
    "${collect_big[@]}" "$destination" > /dev/null 2>&1 &
    collector=$!
    sleep "$delay"
    kill -"$signal" "$collector" 2> /dev/null || true
    wait "$collector" || true
    in_log=0 in_destination=0
    [[ -e $grande/$lea.txt ]] && in_log=$(records_in "$grande/$lea.txt")
    [[ -e $destination/$lea.txt ]] && in_destination=$(records_in "$destination/$lea.txt")
    # (No destination folder at all when the signal came before the collect began.)
    hidden=$({ find "$destination" -name '.*' -type f 2> /dev/null || true; } | wc -l)
    if ! { [[ $in_log == "$total" && $in_destination == 0 ]] || [[ $in_log == 0 && $in_destination == "$total" ]]; }; then
        fail_step "records in the log: $in_log, in the destination: $in_destination (of $total)"
    fi
    [[ $signal == KILL || $hidden == 0 ]] || fail_step "a half-made copy was left: $hidden"
    ok "log $in_log, destination $in_destination, half-made copies left $hidden"
done

step "collect sent SIGTERM once its copy has begun"
# Each write of the copy held up (strace), 2 ms for 20 writers' log: the
# copy lasts about two seconds whatever the log's size, and the signal lands
# in the middle of it.
put_back
destination=$usb/during-copy
as_login "$prof" 022 "$school/reglage-grande"
login=("${login[@]/#ASAN_OPTIONS=*/ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0}")
"${login[@]}" strace -qq -o /dev/null -e trace=write -e inject=write:delay_enter=$((40000 / big_writers)) \
    "$school/bin/morvel2" --collect "$destination" > /dev/null 2>&1 &
tracer=$!
# The copy begins once every record has been counted: a sanitizer build
# takes its time over them.
waited=0
until compgen -G "$destination/.$lea.txt.*" > /dev/null; do
    ((waited++ < 24000)) || fail_step "the copy never began"
    sleep 0.005
done
kill -TERM "$(pgrep -n -P "$tracer")"
wait "$tracer" || true
in_log=$(records_in "$grande/$lea.txt")
[[ $in_log == "$total" && ! -e $destination/$lea.txt ]] \
    || fail_step "records in the log: $in_log of $total; in the destination: $(ls -A "$destination")"
[[ -z $(ls -A "$destination") ]] || fail_step "a half-made copy was left: $(ls -A "$destination")"
ok "every record in the log, nothing left in the destination"

step "collecting onto a disk too small"
put_back
umount "$usb"
mount -t tmpfs -o size=8m morvel2-test "$usb"
chmod 777 "$usb"
status=0
"${collect_big[@]}" "$usb/full" > /dev/null 2> "$scratch/full.err" || status=$?
[[ $status -eq 1 ]] || fail_step "status $status"
grep -q "impossible d'écrire $usb/full/$lea.txt : il n'y a plus de place sur le disque" "$scratch/full.err" \
    || fail_step "said: $(cat "$scratch/full.err")"
cmp -s "$grande/$lea.txt" "$big" || fail_step "the log changed"
[[ -z $(ls -A "$usb/full") ]] || fail_step "left in the destination: $(ls -A "$usb/full")"
ok "said, the log whole, nothing left"

step "collecting under a file-size limit"
status=0
prlimit --fsize=5000000 setpriv --reuid="$prof" --regid="$prof" --init-groups \
    env -i HOME="$school/home/$prof" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 XDG_CONFIG_DIRS="$school/reglage-grande" \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$school/bin/morvel2" --collect "$school/home/$prof/limite" \
    > /dev/null 2> "$scratch/limit.err" || status=$?
[[ $status -eq 1 ]] || fail_step "status $status"
grep -q "impossible d'écrire $school/home/$prof/limite/$lea.txt : le fichier dépasse la taille permise" \
    "$scratch/limit.err" || fail_step "said: $(cat "$scratch/limit.err")"
cmp -s "$grande/$lea.txt" "$big" || fail_step "the log changed"
ok "said, the log whole"
