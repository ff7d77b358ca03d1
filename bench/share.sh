#!/usr/bin/env bash
# A class on a share, timed (run by hand, as root; not in CI): the share
# lab of tests/share/lab.sh with 30 pupils, each an account of its own with
# a client mount of its own, all saving their record within the same moment
# while the teacher's --bilan reads the class folder through the teacher's
# mount. Then the same 30 saves into a class folder on the local disk, and
# two pupils appending to one shared log through their two mounts.
#
#   bench/share.sh [BUILD]     BUILD defaults to build/release
#
# Prints, for the share and for the local disk: the time from the moment the
# pupils are let go to the last record whole in the class folder, as the
# server's side sees it; whether all 30 are whole and nothing else is left.
set -Eeuo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
source "$root/tests/share/lab.sh"
if why=$(share_lab_missing) && [[ -n $why ]]; then
    echo "cannot run: $why" >&2
    exit 1
fi
[[ -x $build/tests/logdriver && -x $build/src/morvel2 ]] || {
    echo "build $build first (with its tests)" >&2
    exit 1
}
pupils=30
trap share_lab_stop EXIT
trap 'exit 1' TERM INT HUP

share_lab_start shprof shprofs
names=()
for i in $(seq -w 1 "$pupils"); do
    share_lab_account "shpupil$i" shpupils
    names+=("shpupil$i")
done
bin=$share_lab/bin
install -d -m 755 "$bin"
install -m 755 "$build/tests/logdriver" "$bin/logdriver"
install -m 755 "$build/src/morvel2" "$bin/morvel2"
local_class=$share_lab/local/cm1
install -d -m 755 "$share_lab/local"
install -d -m 3733 -o shprof -g shprofs "$local_class"

now_us() { echo "${EPOCHREALTIME/./}"; }
# A setting folder for account $1 naming the class folder $2.
setting() {
    local folder=$share_lab/reglages/$1
    mkdir -p "$folder/morvel2"
    printf '[results]\nlog=%s/%%u.txt\n' "$2" > "$folder/morvel2/morvel2.conf"
    chmod -R a+rX "$share_lab/reglages"
    echo "$folder"
}
# Waits until every pupil's log in server folder $1 holds one whole record;
# prints the time since $2 in milliseconds.
until_all_whole() {
    local folder=$1 since=$2 record_bytes
    record_bytes=$("$bin/logdriver" record 0 0 | wc -c)
    for _ in $(seq 20000); do
        local whole=0 name
        for name in "${names[@]}"; do
            [[ $(stat -c %s "$folder/$name.txt" 2> /dev/null) == "$record_bytes" ]] && whole=$((whole + 1))
        done
        if [[ $whole == "$pupils" ]]; then
            echo $((($(now_us) - since) / 1000))
            return
        fi
        sleep 0.002
    done
    echo "never"
}
# Lets all pupils save into the class folder that $1 gives for each, at once.
save_all_at_once() {
    local where=$1 gate=$share_lab/gate i=0 name
    rm -f "$gate"
    save_pids=()
    for name in "${names[@]}"; do
        i=$((i + 1))
        share_lab_as "$name" env XDG_CONFIG_DIRS="$(setting "$name-$2" "$($where "$name")")" \
            sh -c 'while [ ! -e "$0" ]; do sleep 0.005; done; exec "$@"' "$gate" \
            "$bin/logdriver" save "$i" 0 > "$share_lab/save-$name-$2.out" 2>&1 &
        save_pids+=($!)
    done
    sleep 1
    released=$(now_us)
    touch "$gate"
}
check_class() {
    local folder=$1 name whole=0
    for name in "${names[@]}"; do
        [[ $("$bin/logdriver" check "$folder/$name.txt" 2> /dev/null) == records=1\ torn=0* ]] && whole=$((whole + 1))
    done
    local others
    others=$(ls -A "$folder" | grep -cv '^shpupil[0-9]*\.txt$' || true)
    echo "$whole of $pupils whole, $others other files left"
}

on_share() { share_lab_class "$1"; }
on_disk() { echo "$local_class"; }

echo "share: $pupils pupils, each through a mount of their own, --bilan reading meanwhile"
save_all_at_once on_share share
(
    while [[ ! -e $share_lab/stop-bilan ]]; do
        if share_lab_as shprof "$bin/morvel2" --bilan "$(share_lab_class shprof)" > /dev/null 2>&1; then
            echo ok
        else
            echo failed
        fi
    done > "$share_lab/bilans"
) &
bilan_loop=$!
echo "  last record whole on the server after $(until_all_whole "$share_lab/ecole/cm1" "$released") ms"
wait "${save_pids[@]}" || true
touch "$share_lab/stop-bilan"
wait "$bilan_loop"
bilans=$(grep -c ok "$share_lab/bilans" || true)
bilan_failures=$(grep -c failed "$share_lab/bilans" || true)
echo "  $(check_class "$share_lab/ecole/cm1"); --bilan ran $bilans times meanwhile, $bilan_failures failed"
final=$(share_lab_as shprof "$bin/morvel2" --bilan "$(share_lab_class shprof)" 2>&1 | head -n 1)
echo "  then --bilan: $final"
grep -L "^log " "$share_lab"/save-*-share.out | sed 's/^/  not in the log: /' || true

echo "local disk: the same $pupils pupils into a 3733 class folder on this machine's disk"
save_all_at_once on_disk disk
echo "  last record whole after $(until_all_whole "$local_class" "$released") ms"
wait "${save_pids[@]}" || true
echo "  $(check_class "$local_class")"

echo "one shared log on the share, two pupils through their own mounts, 100 records each at once"
install -d -m 2770 -g shpupils "$share_lab/ecole/commun"
install -m 660 -g shpupils /dev/null "$share_lab/ecole/commun/estest.txt"
statuses=()
for writer in 1 2; do
    share_lab_as "${names[writer - 1]}" "$bin/logdriver" append \
        "$(dirname "$(share_lab_class "${names[writer - 1]}")")/commun/estest.txt" 100 "$writer" \
        > /dev/null 2> "$share_lab/append-$writer.err" &
    statuses+=($!)
done
failed=0
for pid in "${statuses[@]}"; do wait "$pid" || failed=$((failed + 1)); done
echo "  $("$bin/logdriver" check "$share_lab/ecole/commun/estest.txt" 2> /dev/null || true); writers that reported a failure: $failed"
