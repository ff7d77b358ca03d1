#!/usr/bin/env bash
# A class's shared folder, set up as docs/deployment.md says (group eleves,
# set-group-ID, mode 2775): two pupils' accounts, two real user ids with the
# usual umask 022, append to one log at once. The first creates it; the other
# must be able to append too, and nothing may be lost.
source "$(dirname "$0")/common.sh"

is_root || { echo "skipped: switching user ids needs root"; exit "$SKIP"; }
command -v setpriv > /dev/null || { echo "skipped: setpriv is not installed"; exit "$SKIP"; }

# Outside the build folder, which the pupils' ids may not be able to enter.
school=$(mktemp -d /tmp/morvel2-shared.XXXXXX)
trap 'rm -rf "$school"; cleanup' EXIT
chmod 755 "$school"
cp "$LOGDRIVER" "$school/logdriver"
eleves=4242
install -d -m 2775 -g "$eleves" "$school/classe"
log="$school/classe/estest.txt"

pupil() {
    local uid=$1; shift
    (umask 022 && setpriv --reuid="$uid" --regid="$uid" --groups="$eleves" "$school/logdriver" "$@")
}
records=100
pupil 4201 append "$log" "$records" 1 &
first=$!
pupil 4202 append "$log" "$records" 2 &
second=$!
wait "$first" || fail "the first pupil's appends failed"
wait "$second" || fail "the second pupil's appends failed (the log was not shared)"

summary=$("$LOGDRIVER" check "$log") || fail "the shared log holds damaged lines: $summary"
[[ $summary == "records=$((2 * records)) torn=0 invalid=0 duplicates=0 "* ]] || fail "shared log: $summary"
owner=$(stat -c '%u:%g %a' "$log")
[[ $owner == *":$eleves 664" ]] || fail "the log is not the group's to write: $owner"
echo "two pupils (uids 4201, 4202, umask 022) x $records records into a 2775 folder of group $eleves:" \
    "$summary; the log $owner"
