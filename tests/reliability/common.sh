# Shared by the reliability scripts: where the driver is, a scratch folder
# that is removed (and unmounted) on exit, and CTest's skip convention.
set -Eeuo pipefail

: "${LOGDRIVER:?LOGDRIVER must name the logdriver program}"
SKIP=77
skipped=()

scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvel2-reliability.XXXXXX")
mounts=()
cleanup() {
    for mountpoint in "${mounts[@]}"; do umount "$mountpoint" 2>/dev/null || umount -l "$mountpoint" || true; done
    rm -rf "$scratch" || true
}
trap cleanup EXIT
# A step that fails under set -e says which, rather than ending the test silently.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

is_root() { [[ $(id -u) -eq 0 ]]; }

# Mounts a small tmpfs of the given size under the scratch folder and sets
# $mountpoint to it (not echoed: the mount must be remembered in this shell).
small_tmpfs() {
    mountpoint="$scratch/$1"
    mkdir -p "$mountpoint"
    mount -t tmpfs -o "size=$2" morvel2-test "$mountpoint"
    mounts+=("$mountpoint")
}

# strace, with the leak checker of a sanitizer build kept out of its way: it
# cannot work under ptrace.
traced() {
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" strace "$@"
}

# The bytes of record INDEX of writer WRITER.
record() { "$LOGDRIVER" record "$1" "$2"; }
record_bytes() { record 0 0 | wc -c; }

# Ends with status 77 (skipped) when a part could not run here, else 0.
finish() {
    if [[ ${#skipped[@]} -gt 0 ]]; then
        printf 'skipped: %s\n' "${skipped[@]}"
        exit "$SKIP"
    fi
    exit 0
}
