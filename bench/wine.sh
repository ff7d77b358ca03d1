#!/usr/bin/env bash
# Launch to ready under Wine: the Windows builds of morvel2_ready and
# bench_reference, each beside the DLLs, the platform plugin and the style
# as the MSI installs them, launched in turn by the Linux launchbench
# through wine, in one Wine prefix whose wineserver stays up between runs.
#
#   bench/wine.sh WINDOWS_BUILD_DIR LAUNCHBENCH [RUNS]
set -euo pipefail
build=$(realpath "$1")
launchbench=$(realpath "$2")
runs=${3:-20}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvel2-winebench.XXXXXX")
pids=()
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2> /dev/null; kill "${pids[@]}" 2> /dev/null; rm -rf "$scratch"' EXIT
export HOME=$scratch/home
mkdir -p "$HOME"

source "$(dirname "$0")/desktop.sh"
start_desktop

# The Wine server kept up between launches, as on a desktop where Wine is
# already running.
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot --init > /dev/null 2>&1
# Each program in a copy of the installed folder.
for program in morvel2_ready bench_reference; do
    cp -r "$build/package/morvel2" "$scratch/$program"
    cp "$build/$program.exe" "$scratch/$program/"
    printf '#!/bin/sh\nexec wine %q\n' "$scratch/$program/$program.exe" > "$scratch/$program.sh"
    chmod +x "$scratch/$program.sh"
done

echo "## Launch to ready under Wine"
echo
qt_dir=$(sed -n 's/^Qt6_DIR:PATH=//p' "$build/CMakeCache.txt")
qt_version=$(sed -nE 's/^set\(PACKAGE_VERSION "(.*)"\)/\1/p' "$qt_dir/Qt6ConfigVersionImpl.cmake")
echo "- $(wine --version 2> /dev/null), Qt for Windows $qt_version, Xvfb with openbox"
echo "- CPU and memory are the wine process's own, not wineserver's"
echo
cd "$scratch"
"$launchbench" "$runs" morvel2 "$scratch/morvel2_ready.sh" reference "$scratch/bench_reference.sh"
