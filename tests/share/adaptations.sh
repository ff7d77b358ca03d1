#!/usr/bin/env bash
# Reading adaptations on a real share (tests/share/lab.sh): samba on the
# loopback address, the teacher and two pupils each through a FUSE client
# mount of their own. The technician prepares the folder and each pupil's
# file once on the server, as docs/deployment.md says (through the mounts
# nobody can give a file rights of its own); the teacher then saves
# through the program's own writer, in place, through the teacher's mount,
# and each pupil's program reads through the pupil's. Each step names
# itself; the first that does not hold fails the test.
set -Eeuo pipefail
here=$(dirname "$0")
source "$here/lab.sh"
: "${LOGDRIVER:?LOGDRIVER must name the logdriver program}"
SKIP=77

if why=$(share_lab_missing) && [[ -n $why ]]; then
    echo "skipped: $why"
    exit "$SKIP"
fi
command -v setfacl > /dev/null || { echo "skipped: setfacl is not installed"; exit "$SKIP"; }
share_lab_err=$(mktemp)
trap 'share_lab_stop; rm -f "$share_lab_err"' EXIT
trap 'exit 1' TERM INT HUP
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

step=""
fail_step() {
    echo "FAIL: $step: $*" >&2
    exit 1
}
ok() { echo "ok: $step${1:+: $1}"; }

prof=shaprof lea=shalea tom=shatom
if ! share_lab_start "$prof" shaprofs 2> "$share_lab_err"; then
    if grep -q "^cannot run here: " "$share_lab_err"; then
        echo "skipped: $(sed -n 's/^cannot run here: //p' "$share_lab_err")"
        exit "$SKIP"
    fi
    fail_step "the lab did not start: $(cat "$share_lab_err")"
fi
share_lab_account "$lea"
share_lab_account "$tom"
bin=$share_lab/bin
install -d -m 755 "$bin"
install -m 755 "$LOGDRIVER" "$bin/logdriver"

step="the technician prepares the folder on the server"
server=$share_lab/ecole/adaptations
install -d -m 711 -o "$prof" -g "$prof" "$server"
install -m 644 -o "$prof" -g "$prof" /dev/null "$server/classe.conf"
for pupil in "$lea" "$tom"; do
    install -m 600 -o "$prof" -g "$prof" /dev/null "$server/eleve-$pupil.conf"
    setfacl -m "u:$pupil:r" "$server/eleve-$pupil.conf"
done
ok

# Each account's machine-wide setting names the folder as its own mount shows it.
mounted() { echo "$share_lab/home/$1/partage/$share_lab_address/ecole/adaptations"; }
as() {
    local name=$1 folder=$share_lab/reglages/$1
    shift
    mkdir -p "$folder/morvel2"
    printf '[adaptations]\nfolder=%s\n' "$(mounted "$name")" > "$folder/morvel2/morvel2.conf"
    chmod -R a+rX "$share_lab/reglages"
    share_lab_as "$name" env XDG_CONFIG_DIRS="$folder" "$@"
}
dys="OpenDyslexic, texte à 150 %, interligne 1,5, lettres espacées de 0,1 em, mots espacés de 0,2 em, fond crème, règle de lecture"

step="the teacher saves lea's adaptations through the teacher's mount"
out=$(as "$prof" "$bin/logdriver" adapt "$lea=dys" "$tom=classe" classe=aucune) || fail_step "$out"
[[ -z $out ]] || fail_step "said: $out"
for pupil in "$lea" "$tom"; do
    file=$server/eleve-$pupil.conf
    [[ $(stat -c '%U %s' "$file") == "$prof 1024" ]] || fail_step "$pupil's file on the server: $(stat -c '%U %s' "$file")"
    getfacl -cp "$file" | grep -qx "user:$pupil:r--" || fail_step "$pupil's file lost its entry"
done
ok "written in place: each file $prof's, 1024 bytes, its pupil's entry kept"

step="each pupil reads through their own mount"
[[ $(as "$lea" "$bin/logdriver" reading) == "$dys" ]] || fail_step "lea: $(as "$lea" "$bin/logdriver" reading)"
[[ $(as "$tom" "$bin/logdriver" reading) == aucune ]] || fail_step "tom: $(as "$tom" "$bin/logdriver" reading)"
ok "lea: her own; tom: none"

step="tom reads, changes and lists through his own mount"
for attempt in "cat '$(mounted "$tom")/eleve-$lea.conf'" "echo x >> '$(mounted "$tom")/eleve-$lea.conf'" \
    "ls '$(mounted "$tom")'"; do
    if as "$tom" sh -c "$attempt" > /dev/null 2>&1; then fail_step "it worked: $attempt"; fi
done
ok "each refused"

step="a pupil new to the class, added by the teacher through the mount"
share_lab_account shanew
out=$(as "$prof" "$bin/logdriver" adapt shanew=dys)
grep -q "eleve-shanew.conf : ce dossier ne garde pas de listes de droits" <<< "$out" || fail_step "said: $out"
[[ $(as shanew "$bin/logdriver" reading) == aucune ]] || fail_step "the new pupil reads: $(as shanew "$bin/logdriver" reading)"
ok "made, but the teacher told the technician must give the pupil its rights; the pupil gets the class's meanwhile"
