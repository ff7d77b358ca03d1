#!/usr/bin/env bash
# shellcheck disable=SC2317,SC2016 # functions called through step() and the trap; $ meant for the chroot's shell
# Tries README.md's two commands on a fresh Debian, as a new user meets them:
# a minbase root made by debootstrap, with only git, ca-certificates and sudo
# added and no locale set, the repository cloned with git, then `scripts/run`
# (until its window shows) and `scripts/test`, literally, from the clone.
#
#   tests/fresh/debootstrap.sh DIST [--user]
#
# DIST is bookworm or trixie. Without --user the commands run as root, the
# clone in /root; with --user as an ordinary user with passwordless sudo and
# umask 0002, the clone in that user's home. Runs as root on a Debian host and
# takes about ten minutes on 2 cores, longer with a slow mirror; it is not
# part of scripts/test. See docs/fresh-machine.md.
#
# The minbase root debootstrap makes is kept, as a tarball, in CACHE (default
# /var/cache/morvel2-fresh, outside any clone) and taken from there while it
# is less than a week old; the packages apt downloads into the root are kept
# there too. Each run still starts from that fresh minbase, with nothing
# installed in it.
#
# Environment: KEEP=1 keeps the chroot (unmounted) for a look afterwards;
# WORKDIR (default /var/tmp) is where the chroot goes; LOGDIR where the logs
# go; CACHE where the minbase root and the packages are kept; MIRROR the
# Debian mirror; RUN_TIMEOUT and TEST_TIMEOUT bound scripts/run until its
# window shows and scripts/test, in seconds; TEST_ENV, variables given to
# scripts/test (NAME=value ...).
set -euo pipefail

usage() {
    echo "usage: $0 bookworm|trixie [--user]" >&2
    exit 2
}
[[ $# -ge 1 && $# -le 2 ]] || usage
dist=$1
case $dist in bookworm | trixie) ;; *) usage ;; esac
as_user=false
if [[ $# -eq 2 ]]; then
    [[ $2 == --user ]] || usage
    as_user=true
fi
[[ $(id -u) -eq 0 ]] || { echo "$0: needs root (debootstrap, chroot, mounts)" >&2; exit 2; }

repo=$(cd "$(dirname "$0")/../.." && pwd)
mirror=${MIRROR:-http://deb.debian.org/debian}
workdir=${WORKDIR:-/var/tmp}
cache=${CACHE:-/var/cache/morvel2-fresh}
minbase=$cache/$dist-minbase.tar
archives=$cache/$dist-archives
run_timeout=${RUN_TIMEOUT:-1800}
test_timeout=${TEST_TIMEOUT:-10800}
mode=root
$as_user && mode=user
logdir=${LOGDIR:-/var/tmp/morvel2-fresh/$dist-$mode-$(date +%Y%m%d-%H%M%S)}
mkdir -p "$logdir"
logdir=$(cd "$logdir" && pwd)

if $as_user; then
    user=tester
    home=/home/$user
    user_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
    user_umask=0002 # what Debian 13 gives a user whose group is their own
else
    user=root
    home=/root
    user_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
    user_umask=0022
fi
admin_path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

# The host's tools: debootstrap may be missing on a fresh host.
if ! command -v debootstrap > /dev/null; then
    echo "Installing debootstrap on the host"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap > /dev/null
fi
command -v git > /dev/null || { echo "$0: git is needed on the host" >&2; exit 2; }

root=$(mktemp -d "$workdir/morvel2-fresh.$dist.XXXXXX")
root=$(readlink -f "$root")
chmod 0755 "$root" # it becomes "/": an ordinary user must be able to enter it
display=
step_pid=

log() { printf '[%s] %s\n' "$(date +%H:%M:%S)" "$*"; }

# --- The chroot's processes and mounts ------------------------------------

# Processes whose root folder is the chroot, whoever started them.
chroot_pids() {
    local p
    for p in /proc/[0-9]*; do
        [[ $(readlink "$p/root" 2> /dev/null) == "$root" ]] && echo "${p#/proc/}"
    done
    return 0
}

# Ends every process left in the chroot (a daemon a test started, wineserver,
# the exercise window, Xvfb): a busy mount could not be unmounted.
kill_chroot() {
    local signal pids tries
    for signal in TERM TERM KILL KILL; do
        pids=$(chroot_pids)
        [[ -n $pids ]] || return 0
        # shellcheck disable=SC2086 # one argument per process
        kill -s "$signal" $pids 2> /dev/null || true
        for ((tries = 0; tries < 20; tries++)); do
            [[ -n $(chroot_pids) ]] || return 0
            sleep 0.25
        done
    done
    echo "processes still in the chroot: $(chroot_pids | tr '\n' ' ')" >&2
    return 1
}

# Mount points at or under the chroot, deepest first.
chroot_mounts() {
    awk -v root="$root" '$5 == root || index($5, root "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

# The chroot is first bound onto itself and made private, so that nothing
# mounted under it (by this script, by debootstrap, or by a test that mounts a
# tmpfs) propagates to the host, and one recursive unmount takes it all away.
mount_chroot() {
    mount --bind "$root" "$root"
    mount --make-private "$root"
}

# What a program in the chroot expects: /proc, /sys, the host's device nodes
# (a plain bind, not --rbind, so the host's own /dev/pts and /dev/shm stay
# out), a devpts instance of its own and a tmpfs at /dev/shm.
mount_filesystems() {
    mount -t proc -o nosuid,nodev,noexec proc "$root/proc"
    mount -t sysfs -o nosuid,nodev,noexec,ro sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    mount --make-private "$root/dev"
    mkdir -p "$root/dev/pts" "$root/dev/shm"
    mount -t devpts -o newinstance,ptmxmode=0666,mode=0620,gid=5 devpts "$root/dev/pts"
    mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
    # The packages downloaded by an earlier run, and those this run
    # downloads, kept outside the root.
    mkdir -p "$archives/partial" "$root/var/cache/apt/archives"
    mount --bind "$archives" "$root/var/cache/apt/archives"
}

unmount_chroot() {
    local target
    [[ -n $(chroot_mounts) ]] || return 0
    umount -R "$root" 2> /dev/null || true
    # A mount that umount -R left behind (a busy one): one at a time.
    for target in $(chroot_mounts); do
        umount "$target" 2> /dev/null || true
    done
    if [[ -n $(chroot_mounts) ]]; then
        echo "still mounted under the chroot:" >&2
        chroot_mounts >&2
        return 1
    fi
}

# The descendants of process $1 (the host side of a step: debootstrap, chroot,
# timeout), read from /proc.
descendants() {
    local p stat ppid
    for p in /proc/[0-9]*; do
        { read -r stat < "$p/stat"; } 2> /dev/null || continue
        stat=${stat##*) } # after the command's name, which may hold anything
        ppid=${stat#* }
        ppid=${ppid%% *}
        if [[ $ppid == "$1" ]]; then
            echo "${p#/proc/}"
            descendants "${p#/proc/}"
        fi
    done
}

# Ends the step still running when this script is interrupted, and all it
# started.
end_step() {
    local pids
    [[ -n ${step_pid:-} ]] || return 0
    pids="$step_pid $(descendants "$step_pid")"
    # shellcheck disable=SC2086 # one argument per process
    kill -s TERM $pids 2> /dev/null || true
    sleep 1
    # shellcheck disable=SC2086
    kill -s KILL $pids 2> /dev/null || true
    wait "$step_pid" 2> /dev/null || true
}

cleanup() {
    local status=$? clean=true
    trap - EXIT INT TERM
    end_step
    kill_chroot || clean=false
    unmount_chroot || clean=false
    if ! $clean; then
        log "chroot left at $root: it still has processes or mounts"
        [[ $status -ne 0 ]] || status=1
    elif [[ ${KEEP:-} == 1 ]]; then
        log "chroot kept at $root (KEEP=1)"
    else
        # --one-file-system: should anything still be bound in, it is spared.
        rm -rf --one-file-system "$root"
    fi
    log "logs in $logdir"
    exit "$status"
}
trap cleanup EXIT
trap 'log "interrupted"; exit 130' INT
trap 'log "terminated"; exit 143' TERM

# --- Running in the chroot --------------------------------------------------

# Runs command line $1 in the chroot as the machine's administrator (setting
# the machine up, not what the user types).
admin() {
    /usr/sbin/chroot "$root" /usr/bin/env -i PATH="$admin_path" \
        DEBIAN_FRONTEND=noninteractive /bin/bash -c "$1" < /dev/null
}

# Sets $cmdline (the caller's) to run command line $1 in the chroot as the
# user who follows the README, from their home folder, with their umask and
# the environment a login gives: no locale, nothing inherited from here.
user_command() {
    local env=(HOME="$home" USER="$user" LOGNAME="$user" SHELL=/bin/bash PATH="$user_path")
    [[ -z $display ]] || env+=(DISPLAY=":$display")
    local switch=()
    [[ $user == root ]] || switch=(/usr/sbin/runuser -u "$user" --)
    # Signals as a login has them: this script's steps run in the background,
    # where SIGINT and SIGQUIT are ignored, and a nohup ignores SIGHUP.
    cmdline=(/usr/bin/env --default-signal /usr/sbin/chroot "$root" "${switch[@]}"
        /usr/bin/env -i "${env[@]}" /bin/bash -c "umask $user_umask && cd && $1")
}

as_the_user() {
    local cmdline
    user_command "$1"
    "${cmdline[@]}" < /dev/null
}

# --- Steps, their times and results -----------------------------------------

step_names=()
step_results=()
step_times=()
step_logs=()

# Records step $1: result $2 (passed, FAILED, not run), seconds $3, log $4.
record() {
    step_names+=("$1")
    step_results+=("$2")
    step_times+=("$3")
    step_logs+=("$4")
    log "$1: $2 ($(duration "$3"))"
}

duration() {
    printf '%dm%02ds' $(($1 / 60)) $(($1 % 60))
}

# Runs function $2 as step $1 with its output in log file $3. It runs in a
# subshell of its own, where set -e holds (it would not in "|| status=$?").
step() {
    local name=$1 function=$2 file=$logdir/$3 start status
    log "$name ..."
    start=$(date +%s)
    # In the background, so that a signal to this script is handled at once
    # (bash runs a trap only once a foreground command has ended).
    set +e
    (
        set -e
        "$function"
    ) > "$file" 2>&1 &
    step_pid=$!
    wait "$step_pid"
    status=$?
    step_pid=
    set -e
    if [[ $status -eq 0 ]]; then
        record "$name" passed $(($(date +%s) - start)) "$file"
    else
        record "$name" "FAILED (status $status)" $(($(date +%s) - start)) "$file"
    fi
    return "$status"
}

skip_step() {
    record "$1" "not run ($2)" 0 ""
}

# The mirror answers, or the run stops here saying so: everything after it
# installs from the mirror.
do_mirror() {
    local release=$mirror/dists/$dist/Release
    if ! /usr/lib/apt/apt-helper download-file "$release" "$root.Release" > "$root.mirror.log" 2>&1; then
        cat "$root.mirror.log"
        echo "the Debian mirror cannot be reached: $release did not download"
        rm -f "$root.Release" "$root.mirror.log"
        return 1
    fi
    echo "$release: $(grep -m1 '^Date:' "$root.Release")"
    rm -f "$root.Release" "$root.mirror.log"
}

# A minbase root: the kept one while it is less than a week old, otherwise
# a new one from debootstrap, which is then kept.
do_debootstrap() {
    if [[ -f $minbase && -n $(find "$minbase" -mtime -7) ]]; then
        echo "the minbase root kept on $(date -r "$minbase" '+%F %T'): $minbase"
        tar -C "$root" --numeric-owner -xpf "$minbase"
        return 0
    fi
    echo "no minbase root kept, or one older than a week: debootstrap"
    debootstrap --variant=minbase "$dist" "$root" "$mirror"
    mkdir -p "$cache"
    tar -C "$root" --numeric-owner -cpf "$minbase.new" .
    mv "$minbase.new" "$minbase"
}

# What a new user has before reading the README, and nothing more: git,
# ca-certificates and sudo, installed without their recommendations.
do_base() {
    mount_chroot
    mount_filesystems
    # A chroot has no init: packages must not start services in it.
    printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
    chmod 0755 "$root/usr/sbin/policy-rc.d"
    [[ -s $root/etc/resolv.conf ]] || cp /etc/resolv.conf "$root/etc/resolv.conf"
    # sudo looks the host name up, as on an installed machine.
    grep -qw "$(hostname)" "$root/etc/hosts" 2> /dev/null ||
        printf '127.0.1.1\t%s\n' "$(hostname)" >> "$root/etc/hosts"
    admin 'apt-get update && apt-get install -y --no-install-recommends git ca-certificates sudo'
    if $as_user; then
        admin "useradd -m -s /bin/bash -G sudo $user"
        printf '%s ALL=(ALL:ALL) NOPASSWD: ALL\n' "$user" > "$root/etc/sudoers.d/$user"
        chmod 0440 "$root/etc/sudoers.d/$user"
        admin 'visudo -c'
    fi
    admin "stat -c '%A %U:%G %n' $home"
    if ! $as_user && [[ $(stat -c %a "$root/root") != 700 ]]; then
        echo "/root is not 0700 as Debian makes it"
        return 1
    fi
    admin 'locale; dpkg-query -W -f="\${binary:Package}\n" | wc -l | sed "s/^/packages installed: /"'
}

# The repository as committed, offered in the chroot as a remote the user can
# read; the user's own git clones it into their home.
do_clone() {
    git clone --quiet --bare "$repo" "$root/srv/morvel2.git"
    echo "commit: $(git -C "$root/srv/morvel2.git" log -1 --format='%h %s')"
    if $as_user; then
        chown -R --reference="$root$home" "$root/srv/morvel2.git"
    fi
    as_the_user 'git clone /srv/morvel2.git morvel2 && ls -ld morvel2 morvel2/scripts/run morvel2/scripts/test'
    as_the_user 'echo "umask $(umask), id $(id)"; env --list-signal-handling true 2>&1 | sed "s/^/signal not at its default: /"'
}

# A display for scripts/run, as a desktop user has. Xvfb and xdotool are
# removed again before scripts/test, which must install what it needs.
do_display() {
    admin 'apt-get install -y --no-install-recommends xvfb xdotool'
    rm -f "$root/tmp/fresh-display"
    # -displayfd: a free display, also among the host's (abstract sockets
    # are shared with the host).
    as_the_user 'exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> /tmp/fresh-display' \
        > "$logdir/xvfb.log" 2>&1 &
    local tries=0
    until [[ -s $root/tmp/fresh-display ]]; do
        ((tries++ < 300)) || { echo "Xvfb did not start"; cat "$logdir/xvfb.log"; return 1; }
        sleep 0.1
    done
    echo "display :$(head -1 "$root/tmp/fresh-display")"
}

# scripts/run in the background, until a visible window titled Form1 shows.
do_run() {
    local run_pid start id='' status
    as_the_user 'cd morvel2 && scripts/run' > "$logdir/run.log" 2>&1 &
    run_pid=$!
    start=$(date +%s)
    while true; do
        id=$(as_the_user 'xdotool search --onlyvisible --name "^Form1\$"' 2> /dev/null | head -1) || true
        [[ -z $id ]] || break
        if ! kill -0 "$run_pid" 2> /dev/null; then
            wait "$run_pid" && status=0 || status=$?
            echo "scripts/run ended (status $status) before its window showed; its log:"
            tail -n 60 "$logdir/run.log"
            return 1
        fi
        if (($(date +%s) - start > run_timeout)); then
            echo "no window titled Form1 after $run_timeout s; the log of scripts/run:"
            tail -n 60 "$logdir/run.log"
            return 1
        fi
        sleep 5
    done
    echo "window $id: $(as_the_user "xdotool getwindowname $id; xdotool getwindowgeometry $id" | tr '\n' ' ')"
    echo "the log of scripts/run:"
    cat "$logdir/run.log"
}

# Ends the program and the display, then removes what only the display
# needed.
stop_display() {
    kill_chroot
    admin 'apt-get purge -y --autoremove xvfb xdotool'
}

do_test() {
    local cmdline status=0 half build
    user_command "cd morvel2 && ${TEST_ENV:+env $TEST_ENV }scripts/test"
    timeout -k 60 "$test_timeout" "${cmdline[@]}" < /dev/null || status=$?
    # CTest's summary and full log of each half outlive the chroot.
    for half in test sanitize; do
        build=$root$home/morvel2/build/$half
        cp "$build/ctest-summary.txt" "$logdir/$half-ctest-summary.txt" 2> /dev/null || true
        cp "$build/Testing/Temporary/LastTest.log" "$logdir/$half-LastTest.log" 2> /dev/null || true
    done
    return "$status"
}

# --- Main ---------------------------------------------------------------------

log "morvel2 on a fresh Debian $dist, as $user ($mode), umask $user_umask; chroot $root; logs $logdir"
failed=false
commit="(not cloned)"
if step "Debian mirror" do_mirror mirror.log &&
    step debootstrap do_debootstrap debootstrap.log &&
    step "base packages" do_base base.log &&
    step clone do_clone clone.log; then
    # What was cloned: the repository may have moved on since the start.
    commit=$(sed -n 's/^commit: //p' "$logdir/clone.log")
    log "cloned $repo at $commit"
    if step "display (Xvfb, xdotool)" do_display display.log; then
        display=$(head -1 "$root/tmp/fresh-display")
        step "scripts/run until the window shows" do_run run-window.log || true
        step "end the window, remove the display" stop_display stop.log || true
        display=
    else
        skip_step "scripts/run until the window shows" "no display"
    fi
    kill_chroot || true
    step "scripts/test" do_test test.log || true
fi

# --- Summary --------------------------------------------------------------------

# scripts/test's closing report: from its first "build/test: ..." line on.
test_report() {
    local file=$logdir/test.log first
    [[ -f $file ]] || return 0
    first=$(grep -nE '^build/test: (skipped tests|no test skipped|the tests did not run)$' "$file" | tail -1 | cut -d: -f1)
    [[ -n $first ]] || { echo "(scripts/test printed no report)"; return 0; }
    tail -n "+$first" "$file"
}

for result in "${step_results[@]}"; do
    [[ $result == passed || $result == not\ run* ]] || failed=true
done
{
    echo
    echo "=== Summary: Debian $dist, as $user ($mode), umask $user_umask; commit $commit ==="
    for i in "${!step_names[@]}"; do
        printf '%-40s %-22s %s\n' "${step_names[$i]}" "${step_results[$i]}" "$(duration "${step_times[$i]}")"
    done
    for i in "${!step_names[@]}"; do
        if [[ ${step_results[$i]} == FAILED* && -n ${step_logs[$i]} ]]; then
            echo
            echo "--- ${step_names[$i]} failed; the end of ${step_logs[$i]}:"
            tail -n 40 "${step_logs[$i]}"
        fi
    done
    for half in test sanitize; do
        [[ -f $logdir/$half-ctest-summary.txt ]] || continue
        if grep -q '^The following tests FAILED:' "$logdir/$half-ctest-summary.txt"; then
            echo
            echo "--- build/$half: tests that failed (their output in $logdir/$half-LastTest.log):"
            sed -n '/^The following tests FAILED:/,/^[^[:space:]]/{/^[[:space:]]/p}' "$logdir/$half-ctest-summary.txt"
        fi
    done
    if [[ -f $logdir/test.log ]]; then
        echo
        echo "--- scripts/test's report (skipped tests and their reasons):"
        test_report
    fi
    echo
    if $failed; then echo "RESULT: FAILED"; else echo "RESULT: passed"; fi
} | tee "$logdir/summary.txt"

$failed && exit 1
exit 0
