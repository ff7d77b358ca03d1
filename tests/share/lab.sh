# A class share any test can start, sourced by it: Debian's samba serving
# one share on 127.0.0.1 with a settings file, databases and logs of its
# own in a scratch folder (never the machine's /etc/samba), a class folder
# in it set up as docs/deployment.md says, and accounts that each reach it
# through a client mount of their own (smbnetfs, a FUSE client), as pupils
# on machines of their own would. Everything is stopped and removed again
# by share_lab_stop, which the caller's EXIT trap runs.
#
#   share_lab_missing           prints why the lab cannot run here, or nothing
#   share_lab_start TEACHER GROUP
#                               starts the server; the class folder cm1 is
#                               TEACHER's with group GROUP, mode 3733; where
#                               the machine cannot host the lab after all,
#                               says "cannot run here: ..." on standard error
#   share_lab_account NAME [GROUP]
#                               makes the account (and the group), gives it a
#                               samba password and mounts the share for it
#   share_lab_class NAME        prints the class folder as NAME's mount shows it
#   share_lab_as NAME CMD...    runs CMD as NAME, in a login's environment
#   share_lab_share_setting NAME VALUE
#                               changes a setting of the class share (case
#                               sensitive, create mask...) for the
#                               connections made from then on
#   share_lab_stop              unmounts, stops samba, removes the accounts
#
# On the server side the class folder is $share_lab/ecole/cm1. Accounts'
# homes are under $share_lab/home. smbd listens on the loopback address
# only; its client (libsmbclient) knows no other port than 445, so two labs
# on one machine take turns (a lock under /run/lock).

share_lab=""
share_lab_accounts=()
share_lab_groups=()
share_lab_fuse_mode=""
share_lab_address=127.0.0.1
# What docs/deployment.md gives for a class share.
declare -gA share_lab_settings=([case sensitive]=yes [create mask]=0640 [directory mask]=0750)

share_lab_missing() {
    [[ $(id -u) -eq 0 ]] || { echo "making accounts, starting samba and mounting need root"; return; }
    local tool
    for tool in smbd smbpasswd smbnetfs fusermount useradd setpriv flock; do
        command -v "$tool" > /dev/null || { echo "$tool is not installed (scripts/setup --tests)"; return; }
    done
    [[ -c /dev/fuse ]] || { echo "/dev/fuse is missing: this machine has no FUSE"; return; }
    grep -qw fuse /proc/filesystems || { echo "the kernel has no FUSE file system"; return; }
    return 0
}

share_lab_serving() { (exec 3<> "/dev/tcp/$share_lab_address/445") 2> /dev/null; }

share_lab_start() {
    local teacher=$1 teachers=$2
    share_lab=$(mktemp -d /var/tmp/morvel2-share.XXXXXX)
    chmod 755 "$share_lab"
    exec {share_lab_lock}> /run/lock/morvel2-share-lab
    flock -w 120 "$share_lab_lock"
    if share_lab_serving; then
        echo "cannot run here: something else serves SMB on $share_lab_address port 445" >&2
        return 1
    fi
    # Accounts' own FUSE mounts open /dev/fuse themselves (smbnetfs is built
    # on libfuse 2); Debian makes it 0666, a bare container 0600.
    share_lab_fuse_mode=$(stat -c %a /dev/fuse)
    chmod 666 /dev/fuse
    local state
    for state in private state cache lock pid ncalrpc log home; do mkdir -p "$share_lab/$state"; done
    chmod 700 "$share_lab/private"
    chmod 755 "$share_lab/home"
    install -d -m 755 "$share_lab/ecole"
    share_lab_write_conf
    share_lab_account "$teacher" "$teachers"
    install -d -m 3733 -o "$teacher" -g "$teachers" "$share_lab/ecole/cm1"
    smbd -s "$share_lab/smb.conf" -D
    local tries
    for tries in $(seq 100); do
        share_lab_serving && break
        sleep 0.05
    done
    share_lab_mount "$teacher"
}

# The server's settings: what docs/deployment.md gives for a class share.
share_lab_write_conf() {
    cat > "$share_lab/smb.conf" << EOF
[global]
    interfaces = $share_lab_address
    bind interfaces only = yes
    smb ports = 445
    disable netbios = yes
    server role = standalone server
    map to guest = never
    private dir = $share_lab/private
    binddns dir = $share_lab/private
    state directory = $share_lab/state
    cache directory = $share_lab/cache
    lock directory = $share_lab/lock
    pid directory = $share_lab/pid
    ncalrpc dir = $share_lab/ncalrpc
    log file = $share_lab/log/%m.log
    passdb backend = tdbsam:$share_lab/private/passdb.tdb
    load printers = no
    printing = bsd
    printcap name = /dev/null
    disable spoolss = yes

[ecole]
    path = $share_lab/ecole
    read only = no
EOF
    local name
    for name in "${!share_lab_settings[@]}"; do
        printf '    %s = %s\n' "$name" "${share_lab_settings[$name]}" >> "$share_lab/smb.conf"
    done
}

share_lab_share_setting() {
    share_lab_settings["$1"]=$2
    share_lab_write_conf
    kill -HUP "$(cat "$share_lab/pid/smbd.pid")"
    sleep 0.3
}

share_lab_account() {
    local name=$1 group=${2:-}
    local home=$share_lab/home/$name
    if [[ -n $group ]] && ! getent group "$group" > /dev/null; then
        groupadd "$group"
        share_lab_groups+=("$group")
    fi
    if id "$name" > /dev/null 2>&1; then
        echo "the account $name exists already (a lab stopped midway? userdel $name)" >&2
        return 1
    fi
    useradd -M -d "$home" -s /bin/sh -U ${group:+-G "$group"} "$name"
    share_lab_accounts+=("$name")
    mkdir -p "$home/.smb" "$home/partage"
    printf '[global]\n    client min protocol = SMB2\n' > "$home/.smb/smb.conf"
    printf 'smb_query_browsers "false"\nauth "%s" "%s" "pw-%s"\n' "$share_lab_address" "$name" "$name" \
        > "$home/.smb/smbnetfs.conf"
    chmod 700 "$home/.smb"
    chmod 600 "$home/.smb/"*
    chown -R "$name:" "$home"
    chmod 755 "$home"
    printf 'pw-%s\npw-%s\n' "$name" "$name" | smbpasswd -c "$share_lab/smb.conf" -s -a "$name" > /dev/null
    [[ -e $share_lab/pid/smbd.pid ]] && share_lab_mount "$name"
    return 0
}

share_lab_mount() {
    share_lab_as "$1" smbnetfs "$share_lab/home/$1/partage" 2> "$share_lab/mount-$1.err" || true
    # smbnetfs says little when the mount is refused (no FUSE for accounts
    # in a container): what counts is whether the mount is there.
    if ! grep -q " $share_lab/home/$1/partage fuse" /proc/mounts; then
        echo "cannot run here: no FUSE mount for $1: $(head -c 300 "$share_lab/mount-$1.err")" >&2
        return 1
    fi
}

share_lab_class() {
    echo "$share_lab/home/$1/partage/$share_lab_address/ecole/cm1"
}

share_lab_as() {
    local name=$1
    shift
    setpriv --reuid="$name" --regid="$name" --init-groups \
        env -i HOME="$share_lab/home/$name" PATH=/usr/bin:/bin LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" "$@"
}

share_lab_stop() {
    [[ -n $share_lab ]] || return 0
    local name tries
    # Unmounted, each client ends by itself; the server's master process
    # takes its children with it.
    for name in "${share_lab_accounts[@]}"; do
        umount -l "$share_lab/home/$name/partage" 2> /dev/null || true
    done
    if [[ -e $share_lab/pid/smbd.pid ]]; then
        kill "$(cat "$share_lab/pid/smbd.pid")" 2> /dev/null || true
    fi
    for name in "${share_lab_accounts[@]}"; do
        for tries in $(seq 50); do
            userdel "$name" 2> /dev/null && break
            sleep 0.1
        done
    done
    for name in "${share_lab_groups[@]}"; do groupdel "$name" 2> /dev/null || true; done
    [[ -n $share_lab_fuse_mode ]] && chmod "$share_lab_fuse_mode" /dev/fuse
    rm -rf "$share_lab"
    share_lab=""
}
