#!/usr/bin/env bash
# The whole exercise, typed into the real window, under strace: the only file
# written is the results log, and no network socket is opened. Local sockets
# to the X server and the session bus are expected.
source "$(dirname "$0")/common.sh"
program=$1
need strace xdotool

start_display
home="$scratch/home"
runtime="$scratch/runtime"
# Private, as a home folder is, whatever the umask: a folder the group may
# write to would have the log created the shared way.
mkdir -m 700 "$home" "$runtime"
trace="$scratch/trace"
HOME="$home" XDG_RUNTIME_DIR="$runtime" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    strace -f -qq -y -o "$trace" -e trace=%file,%network "$program" &
traced_pid=$!
window=$(wait_for_window Form1)
xdotool windowfocus --sync "$window"
type_answers
close_and_wait_for_end "$traced_pid"
wait "$traced_pid" || fail "the program ended with status $?"

[[ -s "$home/estest.txt" ]] || fail "no record was written"

# Files opened for writing, created, renamed or removed.
# The program opens the log by its name in the folder it walked to
# (openat(3</home/...>, "estest.txt")): strace -y shows that folder, and the
# whole path is put back together.
written=$(grep -E '^[0-9]+ +((open|openat)\(.*O_(WRONLY|RDWR|CREAT|TRUNC|APPEND)|(mkdir|mkdirat|rename|renameat|renameat2|unlink|unlinkat|link|linkat|symlink|symlinkat|truncate|creat)\()' "$trace" \
    | grep -v ' = -1 ' | sed -E 's/[0-9]+<([^>]*)>, "([^"]*)"/"\1\/\2"/g' | grep -oE '"[^"]*"' | tr -d '"' | sort -u)
echo "written by the program:"; sed 's/^/  /' <<< "$written"
unexpected=$(grep -vxF -e "$home/estest.txt" -e /dev/null <<< "$written" || true)
[[ -z $unexpected ]] || fail "the program wrote elsewhere than the results log: $unexpected"

# Sockets: local ones only.
sockets=$(grep -oE 'socket\(AF_[A-Z0-9]+' "$trace" | sort | uniq -c)
echo "sockets opened:"; sed 's/^/  /' <<< "$sockets"
grep -E 'socket\(AF_(INET|INET6|PACKET)' "$trace" && fail "a network socket was opened"
grep -E 'connect\(.*sa_family=AF_INET' "$trace" && fail "a network connection was attempted"
echo "no writes but the results log, no network"
