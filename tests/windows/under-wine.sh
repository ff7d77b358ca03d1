#!/usr/bin/env bash
# Runs one Qt test built for Windows under Wine: the emulator CTest puts
# before every test of the Windows build. Each run gets a Wine prefix of its
# own, fresh in the test's own home folder and removed after it, so that no
# registry key, %APPDATA% file or Wine process outlives the test. With
# MORVEL2_WINE_TEMPLATE, that fresh prefix is a copy of one wineboot made
# there once: wineboot takes a dozen seconds a test, the copy a fraction of
# one.
# The DLLs come from the Unix folders in MORVEL2_WINE_DLL_DIRS (':' between
# them), through WINEPATH, as an installed Qt would be found on PATH.
set -euo pipefail
test_program=$1
shift
command -v wine > /dev/null || { echo "skipped: wine is not installed"; exit 77; }
[[ -n ${MORVEL2_WINE_DLL_DIRS:-} ]] || { echo "MORVEL2_WINE_DLL_DIRS is not set: where are the DLLs?"; exit 1; }

# A Windows path on Wine's Z: drive, which is the Unix root.
windows_path() {
    local path=${1//\//\\}
    echo "Z:$path"
}

scratch=$(mktemp -d "$HOME/wine.XXXXXX")
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEPATH
WINEPATH=
IFS=: read -r -a dll_dirs <<< "$MORVEL2_WINE_DLL_DIRS"
for folder in "${dll_dirs[@]}"; do
    [[ -d $folder ]] || { echo "no DLL folder $folder"; exit 1; }
    WINEPATH+="${WINEPATH:+;}$(windows_path "$folder")"
done
# No Mono or Gecko: no test needs .NET or a web view, and asking for them
# would stall a prefix that has no network.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine keeps the host's QT_ variables from Windows programs, so that a Linux
# desktop's Qt settings do not reach them; a WINE prefix lets one through.
for name in $(compgen -e); do
    if [[ $name == QT_* ]]; then export "WINE$name=${!name}"; fi
done
stop_wine() {
    wineserver -k 2> /dev/null || true
    rm -rf "$scratch"
}
trap stop_wine EXIT

# Makes prefix $1 as wineboot does, its log in $2.
new_prefix() {
    WINEPREFIX=$1 wineboot --init > "$2" 2>&1 || { cat "$2"; return 1; }
}
template=${MORVEL2_WINE_TEMPLATE:-}
if [[ -z $template ]]; then
    new_prefix "$WINEPREFIX" "$scratch/wineboot.log"
else
    mkdir -p "$(dirname "$template")"
    (
        flock 9
        if [[ ! -f $template/made ]]; then
            rm -rf "$template"
            mkdir -p "$template"
            new_prefix "$template/prefix" "$template/wineboot.log"
            # Its registry written out before anything copies it.
            WINEPREFIX=$template/prefix wineserver -w
            touch "$template/made"
        fi
    ) 9> "$template.lock"
    cp -a "$template/prefix" "$WINEPREFIX"
fi
# Qt Test's log reaches Wine's redirected standard output empty: it goes to
# a file, shown once the test has ended.
log=$scratch/log.txt
status=0
wine "$test_program" -o "$(windows_path "$log"),txt" "$@" < /dev/null || status=$?
if [[ -f $log ]]; then tr -d '\r' < "$log"; fi
exit "$status"
