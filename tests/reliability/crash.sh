#!/usr/bin/env bash
# A machine switched off, or a program killed, in the middle of appending:
# 300 kill -9 at random moments. Every complete record must stay intact, a
# kill may leave at most one torn line, and no record may ever share a line
# with another.
source "$(dirname "$0")/common.sh"

kills=300
# The kill moments come from $RANDOM: seeded, and the seed printed, so that a
# failing run can be replayed with the same moments.
seed=${CRASH_SEED:-$(date +%s%N)}
[[ $seed =~ ^[0-9]+$ ]] || fail "CRASH_SEED must be a number, not '$seed'"
seed=$((10#$seed))
RANDOM=$seed
echo "seed: $seed; rerun with CRASH_SEED=$seed"
log="$scratch/estest.txt"
: > "$log"

for ((kill = 0; kill < kills; kill++)); do
    "$LOGDRIVER" append "$log" 1000000 "$((kill % 1000))" &
    pid=$!
    # Past start-up (a few ms) and into the appends, somewhere.
    sleep "0.0$((RANDOM % 60 + 20))"
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
done

summary=$("$LOGDRIVER" check "$log") || fail "damaged lines after $kills kills: $summary"
torn=$(sed -E 's/.*torn=([0-9]+).*/\1/' <<< "$summary")
[[ $torn -le $kills ]] || fail "more torn lines than kills: $summary"
echo "$kills kills survived: $summary"
finish
