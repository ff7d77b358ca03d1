#!/usr/bin/env bash
# A log that has grown over the years: appending to a 2 GiB log reads at most
# its last two bytes and costs about what appending to an empty log costs.
source "$(dirname "$0")/common.sh"

big="$scratch/big/estest.txt"
mkdir -p "$(dirname "$big")"
# Sparse: 2 GiB of log that takes no room, ending in a line end like a log.
truncate -s $((2 * 1024 * 1024 * 1024 - 2)) "$big"
printf '\r\n' >> "$big"
size_before=$(stat -c %s "$big")

if command -v strace > /dev/null; then
    trace="$scratch/trace"
    traced -f -o "$trace" -P "$big" -e trace=read,pread64,readv,preadv,preadv2,mmap,sendfile,copy_file_range \
        "$LOGDRIVER" append "$big" 1 1
    bytes_read=$(grep -E '^[0-9]+ +(read|pread64|readv|preadv2?)\(' "$trace" \
        | sed -E 's/.*= ([0-9]+).*/\1/' | awk '{ total += $1 } END { print total + 0 }')
    grep -qE 'mmap|sendfile|copy_file_range' "$trace" && fail "the log was mapped or copied: $(cat "$trace")"
    [[ $bytes_read -le 2 ]] || fail "$bytes_read bytes of the 2 GiB log were read"
    echo "bytes read from the 2 GiB log for one append: $bytes_read"
else
    "$LOGDRIVER" append "$big" 1 1
    skipped+=("counting the bytes read needs strace")
fi
[[ $(stat -c %s "$big") -eq $((size_before + $(record_bytes))) ]] || fail "the 2 GiB log did not grow by one record"
tail -c "$(record_bytes)" "$big" | cmp -s - <(record 1 0) || fail "the record at the end of the 2 GiB log is not whole"

# Time, for information only: the same appends to an empty and to the big log.
empty="$scratch/empty/estest.txt"
mkdir -p "$(dirname "$empty")"
: > "$empty"
per_append_us() {
    local started=$(date +%s%N)
    "$LOGDRIVER" append "$1" 200 2
    echo $((($(date +%s%N) - started) / 200 / 1000))
}
per_append_us "$empty" > /dev/null # warm-up
echo "one append with its flush, mean of 200: empty log $(per_append_us "$empty") us," \
    "2 GiB log $(per_append_us "$big") us"
finish
