# Shared by the desktop scripts: CTest's skip convention, a scratch folder,
# and an X server of their own that they stop on exit.
set -euo pipefail

SKIP=77
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvel2-desktop.XXXXXX")
xvfb_pid=
on_exit=()
cleanup() {
    local action
    for action in "${on_exit[@]}"; do eval "$action" || true; done
    [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch" || true
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

skip() {
    echo "skipped: $*"
    exit "$SKIP"
}

need() {
    local tool
    for tool in "$@"; do command -v "$tool" > /dev/null || skip "$tool is not installed"; done
}

# Starts Xvfb on a free display (it picks one and says which) and sets
# DISPLAY. -noreset keeps it alive between clients. $1: the screen's size
# and depth, 1280x800x24 unless given.
start_display() {
    need Xvfb
    local ready="$scratch/display"
    rm -f "$ready"
    Xvfb -displayfd 3 -screen 0 "${1:-1280x800x24}" -noreset -nolisten tcp 3> "$ready" 2> "$scratch/xvfb.log" &
    xvfb_pid=$!
    local tries=0
    until [[ -s $ready ]]; do
        ((tries++ < 100)) || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
        sleep 0.1
    done
    export DISPLAY=":$(head -1 "$ready")"
}

# Waits (up to 60 s) for a window with the exact title and prints its id.
wait_for_window() {
    local title=$1 tries=0 id
    until id=$(xdotool search --onlyvisible --name "^$title\$" 2> /dev/null | head -1) && [[ -n $id ]]; do
        # A first start under Wine, on a loaded machine, takes half a minute.
        ((tries++ < 600)) || fail "no window titled $title appeared"
        sleep 0.1
    done
    echo "$id"
}

# Types the answers 3, 4, 1, 2 into the focused window, each with Enter.
type_answers() {
    local answer
    for answer in 3 4 1 2; do
        xdotool type --delay 20 "$answer"
        xdotool key Return
        sleep 0.2
    done
}

# Waits for the closing message, closes it with Enter and waits (up to 10 s)
# for process $1 to end.
close_and_wait_for_end() {
    # Under load (a sanitizer build under strace) the box can come late: an
    # Enter before it would be lost.
    wait_for_window morvel2 > /dev/null
    sleep 0.5
    xdotool key Return
    local tries=0
    while kill -0 "$1" 2> /dev/null; do
        ((tries++ < 100)) || fail "the program did not end after the closing message"
        sleep 0.1
    done
}
