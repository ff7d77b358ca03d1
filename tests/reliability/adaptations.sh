#!/usr/bin/env bash
# Reading adaptations with real accounts, the folder set up as
# docs/deployment.md says: a teacher and three pupils, the adaptations
# folder the teacher's, mode 711, named by the machine's setting. The
# teacher saves through the program's own writer; each pupil reads through
# the program's own reading. A classmate then tries to read, change, list
# and learn the existence of another's adaptations; a link, a classmate's
# file and an oversized file are planted where a pupil's file should be.
# Each step names itself; the first that does not hold fails the test.
source "$(dirname "$0")/common.sh"

is_root || { echo "skipped: creating accounts and switching to them needs root"; exit "$SKIP"; }
for tool in setpriv useradd getfacl; do
    command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit "$SKIP"; }
done

tag=$(($$ % 100000))
prof=m2aprof$tag lea=m2alea$tag hugo=m2ahugo$tag zoe=m2azoe$tag
accounts=("$prof" "$lea" "$hugo" "$zoe")
school=$scratch/ecole
mkdir -p "$school/bin" "$school/home"
chmod 755 "$scratch" "$school" "$school/bin" "$school/home"
remove_accounts() {
    for name in "${accounts[@]}"; do
        pkill -KILL -u "$name" 2> /dev/null || true
        userdel -r "$name" > /dev/null 2>&1 || true
    done
}
trap 'remove_accounts; cleanup' EXIT
for name in "${accounts[@]}"; do
    useradd -m -d "$school/home/$name" -s /bin/sh -U "$name"
    chmod 755 "$school/home/$name"
done
install -m 755 "$LOGDRIVER" "$school/bin/logdriver"

step=""
step() { step=$1; }
fail_step() { fail "$step: $*"; }
ok() { echo "ok: $step${1:+: $1}"; }

# Runs what follows as account $1, with the machine's setting of folder $2.
as() {
    local name=$1 settings=$2 home=$school/home/$1
    shift 2
    setpriv --reuid="$name" --regid="$name" --init-groups env -i HOME="$home" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 \
        XDG_CONFIG_DIRS="$settings" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$@"
}
# A machine's setting folder (root's) naming the adaptations folder $2.
setting() {
    mkdir -p "$school/$1/morvel2"
    printf '[adaptations]\nfolder=%s\n' "$2" > "$school/$1/morvel2/morvel2.conf"
    chmod -R a+rX "$school/$1"
}
reads() { as "$1" "$2" "$school/bin/logdriver" reading; }
dys="OpenDyslexic, texte à 150 %, interligne 1,5, lettres espacées de 0,1 em, mots espacés de 0,2 em, fond crème, règle de lecture"

folder=$school/adaptations/cm1
install -d -m 755 "$school/adaptations"
install -d -m 711 -o "$prof" -g "$prof" "$folder"
setting reglage "$folder"
settings=$school/reglage

step "the teacher sets lea's adaptations; hugo and zoe follow the class"
out=$(as "$prof" "$settings" "$school/bin/logdriver" adapt "$lea=dys" "$hugo=classe" "$zoe=classe") ||
    fail_step "$out"
[[ -z $out ]] || fail_step "said: $out"
for name in "$lea" "$hugo" "$zoe"; do
    file=$folder/eleve-$name.conf
    [[ $(stat -c '%U:%G %a %s' "$file") == "$prof:$prof 640 1024" ]] || fail_step "$name's file: $(stat -c '%U:%G %a %s' "$file")"
    acl=$(getfacl -cp "$file" | grep . | tr '\n' ' ')
    [[ $acl == "user::rw- user:$name:r-- group::--- mask::r-- other::--- " ]] || fail_step "$name's file: $acl"
done
[[ $(stat -c '%U %a %s' "$folder/classe.conf") == "$prof 644 1024" ]] || fail_step "the class's file"
ok "each file $prof's, 1024 bytes, user:PUPIL:r-- alone; the class's 644"

step "each pupil's program reads its page"
[[ $(reads "$lea" "$settings") == "$dys" ]] || fail_step "lea: $(reads "$lea" "$settings")"
[[ $(reads "$hugo" "$settings") == aucune ]] || fail_step "hugo: $(reads "$hugo" "$settings")"
ok "lea: $dys; hugo: aucune"

step "the class's settings reach every pupil without their own"
as "$prof" "$settings" "$school/bin/logdriver" adapt classe=andika > /dev/null
[[ $(reads "$hugo" "$settings") == "Andika, texte à 125 %, interligne 1,25, fond blanc" ]] ||
    fail_step "hugo: $(reads "$hugo" "$settings")"
[[ $(reads "$lea" "$settings") == "$dys" ]] || fail_step "lea: $(reads "$lea" "$settings")"
ok "hugo: Andika; lea keeps her own"

attempt() {
    local what=$1
    shift
    step "hugo tries to $what"
    if as "$hugo" "$settings" sh -c "$*" > "$scratch/attempt.out" 2>&1; then
        fail_step "it worked: $(cat "$scratch/attempt.out")"
    fi
    ok "refused ($(tail -n 1 "$scratch/attempt.out" | sed 's/.*: //'))"
}
lea_file=$folder/eleve-$lea.conf
before=$(sha256sum < "$lea_file")
attempt "read lea's adaptations" "cat '$lea_file'"
attempt "change them" "echo 'adaptations : non' > '$lea_file'"
attempt "change his own" "echo 'adaptations : non' > '$folder/eleve-$hugo.conf'"
attempt "change the class's" "echo 'adaptations : non' >> '$folder/classe.conf'"
attempt "delete lea's" "rm -f '$lea_file'"
attempt "change their mode" "chmod 644 '$lea_file'"
attempt "list the folder" "ls '$folder'"
attempt "plant a file for a new pupil" "touch '$folder/eleve-m2anew$tag.conf'"
[[ $(sha256sum < "$lea_file") == "$before" ]] || fail "lea's file changed"

step "hugo tries to learn who has adaptations from what he can see"
seen=$(as "$hugo" "$settings" sh -c "stat -c '%s %a %U %G' '$lea_file' '$folder/eleve-$zoe.conf'")
[[ $(sed -n 1p <<< "$seen") == $(sed -n 2p <<< "$seen") ]] || fail_step "lea's and zoe's differ: $seen"
# Written by the same save, in the order of the logins whatever they say.
times=($(as "$hugo" "$settings" stat -c '%Y' "$lea_file" "$folder/eleve-$zoe.conf"))
((times[1] - times[0] <= 1 && times[0] - times[1] <= 1)) || fail_step "times ${times[*]}"
seen=$(as "$hugo" "$settings" sh -c "getfacl -cp '$lea_file' '$folder/eleve-$zoe.conf' 2>&1 | grep -c 'user:m2a.*:r--'")
[[ $seen == 2 ]] || fail_step "their lists: $seen"
ok "lea's (adapted) and zoe's (following the class) alike: $(as "$hugo" "$settings" stat -c '%s %a %U' "$lea_file"), each with its one pupil's entry"

step "a link where zoe's file was"
mv "$folder/eleve-$zoe.conf" "$scratch/zoe.conf"
ln -s "$lea_file" "$folder/eleve-$zoe.conf"
[[ $(reads "$zoe" "$settings") == "Andika, texte à 125 %, interligne 1,25, fond blanc" ]] ||
    fail_step "zoe reads: $(reads "$zoe" "$settings")"
out=$(as "$prof" "$settings" "$school/bin/logdriver" adapt)
grep -q "eleve-$zoe.conf : non enregistré : c'est un lien symbolique" <<< "$out" || fail_step "the teacher's save: $out"
[[ $(sha256sum < "$lea_file") == "$before" ]] || fail_step "lea's file changed through it"
rm "$folder/eleve-$zoe.conf"
ok "zoe gets the class's; the teacher told; lea's file untouched"

step "a classmate's file where zoe's should be"
install -m 644 -o "$hugo" "$scratch/zoe.conf" "$folder/eleve-$zoe.conf"
printf 'adaptations : oui\ntaille : 250\n' > "$folder/eleve-$zoe.conf"
[[ $(reads "$zoe" "$settings") == "Andika, texte à 125 %, interligne 1,25, fond blanc" ]] ||
    fail_step "zoe reads: $(reads "$zoe" "$settings")"
out=$(as "$prof" "$settings" "$school/bin/logdriver" adapt)
grep -q "notice: Adaptations de lecture de $zoe : .* appartient à $hugo" <<< "$out" || fail_step "the window says: $out"
rm "$folder/eleve-$zoe.conf"
ok "not read; the window names its owner"

step "an oversized file at zoe's name"
install -m 600 -o "$prof" /dev/null "$folder/eleve-$zoe.conf"
head -c 5000 /dev/zero | tr '\0' '#' > "$folder/eleve-$zoe.conf"
[[ $(reads "$zoe" "$settings") == "Andika, texte à 125 %, interligne 1,25, fond blanc" ]] || fail_step "zoe reads"
out=$(as "$prof" "$settings" "$school/bin/logdriver" adapt "$zoe=dys")
[[ $(stat -c %s "$folder/eleve-$zoe.conf") == 1024 ]] || fail_step "not brought back to 1024 bytes: $out"
[[ $(reads "$zoe" "$settings") == "$dys" ]] || fail_step "zoe reads after the save: $(reads "$zoe" "$settings")"
ok "not read (the class's instead); rewritten at 1024 bytes by the teacher's next save, which zoe then reads"

step "a folder the pupils may write to"
open_folder=$school/adaptations/ouvert
install -d -m 1777 -o "$prof" "$open_folder"
setting reglage-ouvert "$open_folder"
cp -a "$lea_file" "$folder/classe.conf" "$open_folder/"
out=$(as "$prof" "$school/reglage-ouvert" "$school/bin/logdriver" adapt)
grep -q "classe.conf : non enregistré : d'autres comptes que $prof peuvent écrire dans le dossier" <<< "$out" ||
    fail_step "the teacher's save: $out"
[[ $(reads "$lea" "$school/reglage-ouvert") == aucune ]] || fail_step "lea reads: $(reads "$lea" "$school/reglage-ouvert")"
ok "nothing read from it, nothing written to it: the design's page"

finish
