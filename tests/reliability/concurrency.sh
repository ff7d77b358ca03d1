#!/usr/bin/env bash
# Many pupils' machines finishing at the same moment: 200 processes append 20
# records each to one log. Every line must come out whole, none interleaved.
source "$(dirname "$0")/common.sh"

writers=200
records=20
# A sanitizer build runs several times slower while holding the lock; the
# bound on the wait is not what this measures.
lock_wait_ms=${LOCK_WAIT_MS:-10000}

hammer() {
    local log=$1 pids=() failed=0 gate="$scratch/gate"
    # All writers start first and wait at a gate, then go at once: the
    # appends overlap instead of following the order of start-up.
    mkfifo "$gate"
    for ((writer = 0; writer < writers; writer++)); do
        "$LOGDRIVER" append "$log" "$records" "$writer" "$lock_wait_ms" "$gate" &
        pids+=($!)
    done
    local waited=0
    until [[ $(find "$scratch" -maxdepth 1 -name 'gate.ready.*' | wc -l) -eq $writers ]]; do
        ((waited++ < 1200)) || fail "the writers did not all start within a minute"
        sleep 0.05
    done
    local started=$(date +%s%N)
    exec {open_gate}> "$gate"
    head -c "$writers" /dev/zero >&"$open_gate"
    for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
    exec {open_gate}>&-
    rm "$gate" "$scratch"/gate.ready.*
    local elapsed_ms=$((($(date +%s%N) - started) / 1000000))
    [[ $failed -eq 0 ]] || fail "$failed writers reported a failed append on $log"

    local summary expected_bytes
    summary=$("$LOGDRIVER" check "$log") || fail "$log holds damaged lines: $summary"
    expected_bytes=$((writers * records * $(record_bytes)))
    [[ $summary == "records=$((writers * records)) torn=0 invalid=0 duplicates=0 bytes=$expected_bytes "* ]] \
        || fail "$log: $summary (expected $((writers * records)) records, $expected_bytes bytes)"
    echo "$writers writers x $records records on $2: $summary, ${elapsed_ms} ms"
}

# Pupils finish while a teacher collects the log again and again: WRITERS x
# RECORDS appends to FOLDER/estest.txt, with COLLECT LOG DESTINATION run
# every 20 ms until they are done. Every record must end up exactly once, in
# a collected file or in the log.
collect_during_appends() {
    local how=$1 folder=$2 writers=$3 records=$4 collect=$5 pids=() failed=0
    mkdir -p "$folder"
    local log="$folder/estest.txt" collections=0 running=1
    for ((writer = 0; writer < writers; writer++)); do
        "$LOGDRIVER" append "$log" "$records" "$writer" "$lock_wait_ms" &
        pids+=($!)
    done
    while ((running)); do
        "$collect" "$log" "$folder/collected.$collections"
        collections=$((collections + 1))
        sleep 0.02
        running=0
        for pid in "${pids[@]}"; do if kill -0 "$pid" 2> /dev/null; then running=1; break; fi; done
    done
    for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
    [[ $failed -eq 0 ]] || fail "$failed writers reported a failed append while the log was collected"
    # The log itself may be gone: the last collection took it and no record
    # came after.
    find "$folder" -name 'collected.*' -exec cat {} + > "$scratch/everything"
    if [[ -e $log ]]; then cat "$log" >> "$scratch/everything"; fi
    local summary
    summary=$("$LOGDRIVER" check "$scratch/everything") || fail "collected logs hold damaged lines: $summary"
    [[ $summary == "records=$((writers * records)) torn=0 invalid=0 duplicates=0 "* ]] \
        || fail "$how: $summary (expected $((writers * records)) records)"
    echo "$writers writers x $records records, $how $collections times meanwhile: $summary"
}

# By hand, under the writers' lock as `flock` lets a person do, the unsafe
# way a teacher might: move the log away, copy it, remove the moved file.
collect_by_hand() {
    [[ -e $1 ]] || return 0
    flock -x "$1" -c "mv '$1' '$2.moved'; cp '$2.moved' '$2'; rm '$2.moved'"
}

# The program's own way, with no display.
collect_with_the_program() {
    local said
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$(dirname "$1")" "$MORVEL2" --collect "$2") \
        || fail "morvel2 --collect failed while pupils were writing: $said"
    [[ $said == *"recueilli"* || $said == "Aucun résultat"* ]] || fail "unexpected answer: $said"
}

if [[ -n ${MORVEL2:-} ]]; then
    collect_during_appends "morvel2 --collect run" "$scratch/program" 20 100 collect_with_the_program
else
    skipped+=("collecting with the program needs MORVEL2 to name it")
fi
if command -v flock > /dev/null; then
    collect_during_appends "the log collected by hand" "$scratch/by-hand" 50 40 collect_by_hand
else
    skipped+=("collecting under the lock needs flock")
fi

# A log created in a folder its group may write to, as a class's shared
# folder is, while a second writer comes: the creator's first lock is held
# up half a second (strace), so that the other record lands between the
# creation and the creator's own append. Both must be there.
creation_meets_a_second_writer() {
    local folder=$scratch/shared-folder
    local log=$folder/estest.txt first summary
    mkdir -m 2775 "$folder"
    chmod 2775 "$folder" # whatever the umask
    traced -qq -o /dev/null -e trace=flock -e inject=flock:delay_enter=500000:when=1 \
        "$LOGDRIVER" append "$log" 1 1 "$lock_wait_ms" &
    first=$!
    local waited=0
    until [[ -e $log ]]; do
        ((waited++ < 1000)) || fail "the first writer never created $log"
        sleep 0.01
    done
    "$LOGDRIVER" append "$log" 1 2 "$lock_wait_ms" || fail "the second writer failed"
    wait "$first" || fail "the first writer failed"
    summary=$("$LOGDRIVER" check "$log") || fail "$log holds damaged lines: $summary"
    [[ $summary == "records=2 torn=0 invalid=0 duplicates=0 "* ]] \
        || fail "a log created while a second writer came: $summary (expected 2 records)"
    echo "a log created in a shared folder while a second writer came: $summary"
}
if command -v strace > /dev/null; then
    creation_meets_a_second_writer
else
    skipped+=("the creation met by a second writer needs strace")
fi

mkdir -p "$scratch/disk"
hammer "$scratch/disk/estest.txt" "disk ($(df --output=fstype "$scratch" | tail -1))"

if is_root; then
    small_tmpfs tmpfs 4m
    hammer "$mountpoint/estest.txt" "a 4 MiB tmpfs"
else
    skipped+=("the tmpfs run needs root to mount")
fi
finish
