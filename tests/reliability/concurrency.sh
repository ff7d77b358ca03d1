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

# A teacher collects the log again and again while pupils finish: each time
# the log is moved away under its lock, as `flock` lets a person do by hand,
# copied, and the moved file removed. Every record must end up exactly once,
# in a collected copy or in the log.
collect_while_writing() {
    local folder="$scratch/collect" writers=50 records=40 pids=() failed=0
    mkdir -p "$folder"
    local log="$folder/estest.txt"
    for ((writer = 0; writer < writers; writer++)); do
        "$LOGDRIVER" append "$log" "$records" "$writer" "$lock_wait_ms" &
        pids+=($!)
    done
    local collections=0 running=1
    while ((running)); do
        if [[ -e $log ]]; then
            flock -x "$log" -c "mv '$log' '$folder/lu.txt'; cp '$folder/lu.txt' '$folder/collected.$collections'; rm '$folder/lu.txt'"
            collections=$((collections + 1))
        fi
        sleep 0.02
        running=0
        for pid in "${pids[@]}"; do if kill -0 "$pid" 2> /dev/null; then running=1; break; fi; done
    done
    for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
    [[ $failed -eq 0 ]] || fail "$failed writers reported a failed append while the log was collected"
    # The log itself may not exist: the last collection took it and no
    # record came after.
    cat "$folder"/collected.* > "$scratch/everything"
    if [[ -e $log ]]; then cat "$log" >> "$scratch/everything"; fi
    local summary expected_bytes=$((writers * records * $(record_bytes)))
    summary=$("$LOGDRIVER" check "$scratch/everything") || fail "collected logs hold damaged lines: $summary"
    [[ $summary == "records=$((writers * records)) torn=0 invalid=0 duplicates=0 bytes=$expected_bytes "* ]] \
        || fail "collected while writing: $summary (expected $((writers * records)) records)"
    echo "$writers writers x $records records, the log collected $collections times meanwhile: $summary"
}

# The same with the program's own way: `morvel2 --collect FILE`, no display.
collect_with_the_program() {
    local folder="$scratch/program" writers=20 records=100 pids=() failed=0
    mkdir -p "$folder"
    local log="$folder/estest.txt"
    for ((writer = 0; writer < writers; writer++)); do
        "$LOGDRIVER" append "$log" "$records" "$writer" "$lock_wait_ms" &
        pids+=($!)
    done
    local collections=0 running=1 said
    while ((running)); do
        said=$(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$folder" "$MORVEL2" --collect "$folder/collected.$collections") \
            || fail "morvel2 --collect failed while pupils were writing: $said"
        [[ $said == *"recueilli"* || $said == "Aucun résultat"* ]] || fail "unexpected answer: $said"
        collections=$((collections + 1))
        sleep 0.02
        running=0
        for pid in "${pids[@]}"; do if kill -0 "$pid" 2> /dev/null; then running=1; break; fi; done
    done
    for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
    [[ $failed -eq 0 ]] || fail "$failed writers reported a failed append while the log was collected"
    # The log itself may not exist: the last collection took it and no
    # record came after.
    cat "$folder"/collected.* > "$scratch/everything"
    if [[ -e $log ]]; then cat "$log" >> "$scratch/everything"; fi
    local summary
    summary=$("$LOGDRIVER" check "$scratch/everything") || fail "collected logs hold damaged lines: $summary"
    [[ $summary == "records=$((writers * records)) torn=0 invalid=0 duplicates=0 "* ]] \
        || fail "collected with morvel2 --collect: $summary (expected $((writers * records)) records)"
    echo "$writers writers x $records records, morvel2 --collect run $collections times meanwhile: $summary"
}

if [[ -n ${MORVEL2:-} ]]; then
    collect_with_the_program
else
    skipped+=("collecting with the program needs MORVEL2 to name it")
fi

if command -v flock > /dev/null; then
    collect_while_writing
else
    skipped+=("collecting under the lock needs flock")
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
