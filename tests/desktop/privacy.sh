#!/usr/bin/env bash
# The whole exercise, typed into the real window, under strace: the only file
# the program writes is the results log, and no network socket is opened.
# Local sockets to the X server and the session bus are expected.
#
# It runs as a pupil's account would: run as root, the program runs as
# nobody, for whom no cache of the machine's is writable; once with an empty
# cache folder, as on a fresh account, and once with a cache folder it may
# not write to.
source "$(dirname "$0")/common.sh"
program=$1
need strace xdotool

start_display
account=$(id -un)
as_account=()
if [[ $(id -u) -eq 0 ]]; then
    need setpriv
    account=nobody
    as_account=(setpriv --reuid=nobody --regid="$(id -gn nobody)" --clear-groups)
    # Where nobody may run it from: the build folder may be under /root.
    chmod 755 "$scratch"
    install -m 755 "$program" "$scratch/morvel2"
    program=$scratch/morvel2
fi

# A library's own cache under XDG_CACHE_HOME is no record of the program's:
# fontconfig makes its folder there when the machine's font cache does not
# cover a font folder (a fresh account on Debian 13), Mesa keeps its shader
# cache there. Where that folder may not be written, fontconfig takes the
# next its configuration names, ~/.fontconfig. Only these folders are
# allowed, nothing beside them.
allowed_cache_folders=(fontconfig mesa_shader_cache mesa_shader_cache_db)
allowed_home_cache=.fontconfig

# A font folder the machine's cache does not cover, as on a fresh account:
# fontconfig must make a cache of its own for it, every time.
need fc-match
mkdir -p "$scratch/fonts"
cp "$(fc-match -f '%{file}' 'DejaVu Sans')" "$scratch/fonts/"
cat > "$scratch/fonts.conf" << CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <dir>$scratch/fonts</dir>
</fontconfig>
CONF
chmod -R a+rX "$scratch/fonts" "$scratch/fonts.conf"
export FONTCONFIG_FILE=$scratch/fonts.conf

# Files opened for writing, created, renamed or removed, as whole paths, by
# the run whose trace is $1. The program opens the log by its name in the
# folder it walked to (openat(3</home/...>, "estest.txt")): strace -y shows
# that folder, and the whole path is put back together.
written_by() {
    grep -E '^[0-9]+ +((open|openat)\(.*O_(WRONLY|RDWR|CREAT|TRUNC|APPEND)|(mkdir|mkdirat|rename|renameat|renameat2|unlink|unlinkat|link|linkat|symlink|symlinkat|truncate|creat)\()' "$1" \
        | grep -v ' = -1 ' | sed -E 's/[0-9]+<([^>]*)>, "([^"]*)"/"\1\/\2"/g' | grep -oE '"[^"]*"' | tr -d '"' | sort -u
}

# The exercise done by $account under strace, its cache folder $1 (empty or
# unwritable); then what it wrote and which sockets it opened.
exercise_traced() {
    local cache_kind=$1 run=$scratch/$1
    local home=$run/home runtime=$run/runtime cache=$run/cache trace=$run/trace
    mkdir -p "$run"
    chmod 755 "$run"
    # Private, as a home folder is, whatever the umask: a folder the group
    # may write to would have the log created the shared way.
    mkdir -m 700 "$home" "$runtime" "$cache"
    [[ $cache_kind == unwritable ]] && chmod 500 "$cache"
    [[ -z ${as_account[*]} ]] || chown "$account" "$home" "$runtime" "$cache"
    HOME="$home" XDG_RUNTIME_DIR="$runtime" XDG_CACHE_HOME="$cache" \
        XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        strace -f -qq -y -o "$trace" -e trace=%file,%network "${as_account[@]}" "$program" &
    local traced_pid=$!
    local window
    window=$(wait_for_window Form1)
    xdotool windowfocus --sync "$window"
    type_answers
    close_and_wait_for_end "$traced_pid"
    wait "$traced_pid" || fail "$cache_kind cache: the program ended with status $?"
    [[ -s "$home/estest.txt" ]] || fail "$cache_kind cache: no record was written"

    local written unexpected
    written=$(written_by "$trace")
    echo "$cache_kind cache, as $account: written by the program and its libraries:"
    sed 's/^/  /' <<< "$written"
    local allowed=(-e "$home/estest.txt" -e /dev/null)
    unexpected=$(grep -vxF "${allowed[@]}" <<< "$written" || true)
    for folder in "${allowed_cache_folders[@]}"; do
        unexpected=$(grep -vE "^$cache/$folder(/|$)" <<< "$unexpected" || true)
    done
    unexpected=$(grep -vE "^$home/$allowed_home_cache(/|$)" <<< "$unexpected" || true)
    [[ -z $unexpected ]] || fail "$cache_kind cache: the program wrote elsewhere than the results log: $unexpected"

    local sockets
    sockets=$(grep -oE 'socket\(AF_[A-Z0-9]+' "$trace" | sort | uniq -c)
    echo "sockets opened:"; sed 's/^/  /' <<< "$sockets"
    grep -E 'socket\(AF_(INET|INET6|PACKET)' "$trace" && fail "$cache_kind cache: a network socket was opened"
    grep -E 'connect\(.*sa_family=AF_INET' "$trace" && fail "$cache_kind cache: a network connection was attempted"
    return 0
}

exercise_traced empty
exercise_traced unwritable
echo "no writes but the results log and the libraries' caches, no network"
