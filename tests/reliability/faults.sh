#!/usr/bin/env bash
# Every way an append can fail must leave either exactly the new lines whole,
# or the log unchanged byte for byte together with an error that names the
# log and the reason.
source "$(dirname "$0")/common.sh"

survived=0
writer=7
# Lines that should have been in the log after a case and are not, over all
# cases; and the cases whose log came out otherwise wrong. A wrong log does
# not end the run at once, so that one damaged case does not hide the losses
# of the others: the run fails at its end instead.
lost=0
damaged=0

# Whether LOG is byte for byte EXPECTED; if not, says MESSAGE as a failure.
# The records among the lines of EXPECTED that LOG lacks as whole lines (cut
# into, glued to another, or gone) are records lost; other lines, a torn
# one or another program's, only make the log wrong.
log_holds() {
    local name=$1 log=$2 expected=$3 message=$4 missing summary
    LC_ALL=C comm -23 <(LC_ALL=C sort "$expected") <(LC_ALL=C sort "$log") > "$scratch/missing"
    summary=$("$LOGDRIVER" check "$scratch/missing" 2> /dev/null || true)
    [[ $summary =~ records=([0-9]+).*duplicates=([0-9]+) ]] || fail "$name: cannot count the records lost: $summary"
    missing=$((BASH_REMATCH[1] + BASH_REMATCH[2]))
    if [[ $missing -gt 0 ]]; then
        echo "$name: records lost: $missing" >&2
        lost=$((lost + missing))
    fi
    cmp -s "$log" "$expected" && return 0
    echo "FAIL: $message" >&2
    damaged=$((damaged + 1))
    return 1
}

# A log that already holds three records.
seeded_log() {
    local log=$1
    mkdir -p "$(dirname "$log")"
    : > "$log"
    for index in 0 1 2; do record 1 "$index" >> "$log"; done
}

# RUN... appends through the driver; the outcome must be the whole new lines
# listed in $expect_indexes (records of $writer), and for a failure an error
# on standard error naming the log and a reason.
expect_outcome() {
    local name=$1 log=$2; shift 2
    local before="$scratch/before" expected="$scratch/expected" errors="$scratch/errors"
    cp "$log" "$before"
    local status=0
    "$@" 2> "$errors" || status=$?

    cp "$before" "$expected"
    for index in $expect_indexes; do record "$writer" "$index" >> "$expected"; done
    local whole=true
    log_holds "$name" "$log" "$expected" "$name: the log is not the old log plus lines [$expect_indexes]" \
        || whole=false
    if [[ $expect_failures -gt 0 ]]; then
        [[ $status -ne 0 ]] || fail "$name: the failure was reported as success"
        local reported
        reported=$(grep -c "^logdriver: $log: ..*" "$errors" || true)
        [[ $reported -eq $expect_failures ]] \
            || fail "$name: expected $expect_failures errors naming $log, got: $(cat "$errors")"
        $whole || return 0
        echo "$name: log unchanged where the append failed; $(head -1 "$errors")"
        survived=$((survived + 1))
    else
        [[ $status -eq 0 ]] || fail "$name: a good append reported failure: $(cat "$errors")"
        $whole || return 0
        echo "$name: appended whole"
    fi
}

log="$scratch/disk/estest.txt"

# Errors injected into the Nth write of six appends: that append fails and
# leaves nothing; the five others land whole.
if command -v strace > /dev/null; then
    for error in EIO ENOSPC; do
        for n in 1 2 3 4 5 6; do
            seeded_log "$log"
            expect_indexes=$(seq 0 5 | grep -vx $((n - 1)) | tr '\n' ' ') expect_failures=1 \
                expect_outcome "$error on write $n" "$log" \
                traced -f -o /dev/null -P "$log" --inject=write:error=$error:when=$n \
                "$LOGDRIVER" append "$log" 6 "$writer"
        done
    done
    seeded_log "$log"
    expect_indexes="" expect_failures=1 expect_outcome "EIO on fdatasync" "$log" \
        traced -f -o /dev/null -P "$log" --inject=fdatasync:error=EIO \
        "$LOGDRIVER" append "$log" 1 "$writer"
    seeded_log "$log"
    # The log is opened by its name in the folder the path walk reached,
    # which strace matches only as seen from that folder.
    pushd "${log%/*}" > /dev/null
    expect_indexes="" expect_failures=1 expect_outcome "EACCES on open" "$log" \
        traced -f -o /dev/null -P "${log##*/}" --inject=openat:error=EACCES \
        "$LOGDRIVER" append "$log" 1 "$writer"
    popd > /dev/null
else
    skipped+=("injected errors need strace")
fi

# A file-size limit 100 bytes past the log's end: the write would be partial.
if command -v prlimit > /dev/null; then
    seeded_log "$log"
    limit=$(($(stat -c %s "$log") + 100))
    expect_indexes="" expect_failures=1 expect_outcome "file-size limit" "$log" \
        prlimit --fsize="$limit" "$LOGDRIVER" append "$log" 1 "$writer"
else
    skipped+=("the file-size limit needs prlimit")
fi

# Where the log cannot even be opened, nothing may be created or replaced.
expect_refused() {
    local name=$1 log=$2
    "$LOGDRIVER" append "$log" 1 "$writer" 2> "$scratch/errors" && fail "$name: the append succeeded"
    grep -q "^logdriver: $log: ..*" "$scratch/errors" || fail "$name: no error naming $log"
    echo "$name: $(cat "$scratch/errors")"
    survived=$((survived + 1))
}
folder_log="$scratch/folder/estest.txt"
mkdir -p "$folder_log"
expect_refused "a folder at the log's path" "$folder_log"
[[ -d "$folder_log" && -z "$(ls -A "$folder_log")" ]] || fail "the folder at the log's path was touched"
expect_refused "a missing parent folder" "$scratch/no-such-folder/estest.txt"
[[ ! -e "$scratch/no-such-folder" ]] || fail "the missing folder was created"

if is_root; then
    # A disk that fills up in the middle of the record: 1 MiB, the log's last
    # page 100 bytes short of full and every other page taken.
    small_tmpfs full 1m
    full_log="$mountpoint/estest.txt"
    seeded_log "$full_log"
    head -c $((4096 * 4 - 100 - 2 - $(stat -c %s "$full_log"))) /dev/zero | tr '\0' 'x' >> "$full_log"
    printf '\r\n' >> "$full_log"
    dd if=/dev/zero of="$mountpoint/filler" bs=4096 2>/dev/null || true
    expect_indexes="" expect_failures=1 expect_outcome "disk full mid-record" "$full_log" \
        "$LOGDRIVER" append "$full_log" 1 "$writer"

    # A read-only drive.
    small_tmpfs readonly 1m
    readonly_disk=$mountpoint
    seeded_log "$readonly_disk/estest.txt"
    mount -o remount,ro "$readonly_disk"
    expect_indexes="" expect_failures=1 expect_outcome "read-only mount" "$readonly_disk/estest.txt" \
        "$LOGDRIVER" append "$readonly_disk/estest.txt" 1 "$writer"
else
    skipped+=("disk full and read-only mounts need root")
fi

# A log that ends in a torn line whose last byte cannot be read: the record
# still starts on a line of its own.
if command -v strace > /dev/null; then
    seeded_log "$log"
    printf '202 torn-by-crash' >> "$log"
    cp "$log" "$scratch/expected"
    { printf '\r\n'; record "$writer" 0; } >> "$scratch/expected"
    traced -f -o /dev/null -P "$log" --inject=pread64:error=EIO "$LOGDRIVER" append "$log" 1 "$writer" \
        || fail "an unreadable tail stopped the append"
    if log_holds "an unreadable torn tail" "$log" "$scratch/expected" \
        "unreadable tail: the record was glued to the torn line"; then
        echo "an unreadable torn tail: the record on a line of its own"
        survived=$((survived + 1))
    fi

    # The flush fails, and meanwhile another program (one that takes no
    # lock) appends a line: the undo must not cut that line off.
    seeded_log "$log"
    before_size=$(stat -c %s "$log")
    ( until [[ $(stat -c %s "$log") -gt $before_size ]]; do sleep 0.01; done
      printf 'foreign line\r\n' >> "$log" ) &
    foreign=$!
    traced -f -o /dev/null -P "$log" --inject=fdatasync:error=EIO:delay_exit=1000000 \
        "$LOGDRIVER" append "$log" 1 "$writer" 2> "$scratch/errors" && fail "a failed flush was reported as success"
    wait "$foreign"
    { head -c "$before_size" "$log"; record "$writer" 0; printf 'foreign line\r\n'; } > "$scratch/expected"
    whole=true
    log_holds "a failed flush with a foreign line after it" "$log" "$scratch/expected" \
        "the undo after a failed flush cut another program's line" || whole=false
    grep -q "(may be in the log)" "$scratch/errors" || fail "a record left in the log was not reported as such"
    if $whole; then
        echo "a failed flush with a foreign line after it: nothing cut; $(cat "$scratch/errors")"
        survived=$((survived + 1))
    fi
fi

# A log that may only grow (chattr +a): the undo is impossible, so the
# partial line is ended and the append says the record may be in the log.
if is_root && command -v strace > /dev/null && seeded_log "$log" && chattr +a "$log" 2> /dev/null; then
    trap 'chattr -a "$log" 2> /dev/null || true; cleanup' EXIT
    cp "$log" "$scratch/expected"
    record "$writer" 0 >> "$scratch/expected"
    traced -f -o /dev/null -P "$log" --inject=fdatasync:error=EIO \
        "$LOGDRIVER" append "$log" 1 "$writer" 2> "$scratch/errors" && fail "a failed flush was reported as success"
    chattr -a "$log"
    whole=true
    log_holds "a failed flush on an append-only log" "$log" "$scratch/expected" \
        "append-only log: not the old log plus the one record" || whole=false
    grep -q "(may be in the log)" "$scratch/errors" || fail "append-only log: the record left in it was not reported"
    if $whole; then
        echo "a failed flush on an append-only log: the record once, reported: $(cat "$scratch/errors")"
        survived=$((survived + 1))
    fi
else
    skipped+=("the append-only log needs root, strace and a file system with chattr +a")
fi

# A read lease held past the bound (an indexer, a backup program): the
# append gives up within its bound instead of the kernel's lease-break time.
seeded_log "$log"
"$LOGDRIVER" lease "$log" 20000 > "$scratch/lease" &
lease=$!
until [[ -s "$scratch/lease" ]]; do kill -0 "$lease" 2> /dev/null || break; sleep 0.05; done
if [[ $(cat "$scratch/lease") == leased ]]; then
    started=$(date +%s%N)
    expect_indexes="" expect_failures=1 expect_outcome "a read lease held past the bound" "$log" \
        "$LOGDRIVER" append "$log" 1 "$writer" 2000
    elapsed_ms=$((($(date +%s%N) - started) / 1000000))
    ((elapsed_ms < 6000)) || fail "the append under a lease took $elapsed_ms ms, past its 2000 ms bound"
    echo "  given up after $elapsed_ms ms (bound 2000 ms)"
else
    skipped+=("no read lease could be taken here")
fi
kill "$lease" 2> /dev/null || true
wait "$lease" 2> /dev/null || true

# A FIFO at the log's path, writable only (as an ordinary user would plant
# it): the append is refused at once, it does not wait for a reader. Root
# may open any FIFO, so root runs this as nobody.
as_user=()
driver=$LOGDRIVER
if is_root && command -v setpriv > /dev/null; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 755 "$scratch"
    # The build folder may be where nobody can enter (a clone under /root).
    cp "$LOGDRIVER" "$scratch/logdriver"
    driver="$scratch/logdriver"
fi
if ! is_root || [[ ${#as_user[@]} -gt 0 ]]; then
    shared="$scratch/shared"
    mkdir -p "$shared"
    chmod 1777 "$shared"
    "${as_user[@]}" mkfifo -m 0222 "$shared/estest.txt"
    started=$(date +%s%N)
    status=0
    timeout 30 "${as_user[@]}" "$driver" append "$shared/estest.txt" 1 "$writer" 2000 \
        2> "$scratch/errors" || status=$?
    elapsed_ms=$((($(date +%s%N) - started) / 1000000))
    [[ $status -ne 124 ]] || fail "the append to a FIFO hung"
    [[ $status -ne 0 ]] || fail "the append to a FIFO was reported as success"
    [[ -p "$shared/estest.txt" ]] || fail "the FIFO was replaced"
    grep -q "ce n'est pas un fichier ordinaire" "$scratch/errors" \
        || fail "the FIFO was not refused as not a file: $(cat "$scratch/errors")"
    echo "a write-only FIFO as an ordinary user: refused after $elapsed_ms ms; $(cat "$scratch/errors")"
    survived=$((survived + 1))
    rm -f "$shared/estest.txt"
else
    skipped+=("the FIFO as an ordinary user needs setpriv to switch from root")
fi

# And the ordinary case, for contrast.
seeded_log "$log"
expect_indexes="0" expect_failures=0 expect_outcome "a healthy disk" "$log" \
    "$LOGDRIVER" append "$log" 1 "$writer"

echo "faults survived: $survived, records lost: $lost"
[[ $lost -eq 0 ]] || fail "$lost records that should have stayed in the log are missing"
[[ $damaged -eq 0 ]] || fail "$damaged cases left the log other than expected"
finish
