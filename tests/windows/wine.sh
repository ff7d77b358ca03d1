#!/usr/bin/env bash
# Runs the Windows results-log writer, cross-compiled, under Wine, through
# tests/windows/appenddriver.cpp. A throw-away Wine prefix of its own; as an
# ordinary user (nobody, when started as root), since Wine keeps a read-only
# attribute as Unix permissions, which root ignores.
set -euo pipefail
driver=${1:-}
[[ -f $driver ]] || { echo "skipped: the driver was not built (no mingw-w64 cross compiler)"; exit 77; }
command -v wine > /dev/null || { echo "skipped: wine is not installed"; exit 77; }

scratch=$(mktemp -d /tmp/morvel2-wine.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
cp "$driver" "$scratch/appenddriver.exe"
as_user=()
if [[ $(id -u) -eq 0 ]] && command -v setpriv > /dev/null; then
    chown -R 65534:65534 "$scratch"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
closed=()
if [[ ${#as_user[@]} -gt 0 ]]; then
    # A class folder as recommended, another account's: its pupils may make
    # files in it but not list it. One pupil's log made beforehand, as a
    # technician would under Wine.
    install -d -m 3733 -o root -g root "$scratch/classe"
    install -m 640 -o 65534 -g 65534 /dev/null "$scratch/classe/existe.txt"
    closed=("Z:${scratch//\//\\}\\classe")
fi
cd "$scratch"
started=$(date +%s%N)
"${as_user[@]}" env HOME="$scratch" WINEPREFIX="$scratch/prefix" WINEDEBUG=-all \
    wineboot --init > "$scratch/wineboot.log" 2>&1 || { cat "$scratch/wineboot.log"; exit 1; }
echo "Wine prefix ready in $((($(date +%s%N) - started) / 1000000)) ms ($(WINEDEBUG=-all wine --version))"
status=0
"${as_user[@]}" env HOME="$scratch" WINEPREFIX="$scratch/prefix" WINEDEBUG=-all \
    wine ./appenddriver.exe all "Z:${scratch//\//\\}\\run" "${closed[@]}" || status=$?
"${as_user[@]}" env WINEPREFIX="$scratch/prefix" wineserver -k 2> /dev/null || true
exit $status
