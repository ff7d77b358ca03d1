#!/usr/bin/env bash
# Runs every benchmark against the binaries of a Release build and prints the
# figures as Markdown tables: launch to ready against the reference program
# (time, CPU, memory, instructions), then the end of the exercise.
#
#   bench/run.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(realpath "$1")
runs=${2:-20}
bench="$build/bench"
sources=$(cd "$(dirname "$0")/.." && pwd)

# A session bus of its own, as a desktop session has.
if [[ -z ${MORVEL2_OWN_SESSION:-} ]]; then
    MORVEL2_OWN_SESSION=1 exec dbus-run-session -- bash "$0" "$@"
fi
unset XDG_CURRENT_DESKTOP
scratch=$(mktemp -d "${TMPDIR:-/tmp}/morvel2-bench.XXXXXX")
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

source "$(dirname "$0")/desktop.sh"
start_desktop

echo "## Machine"
echo
echo "- $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores, $(free -g | awk '/Mem:/ { print $2 }') GiB"
echo "- $(uname -sr), $(. /etc/os-release && echo "$PRETTY_NAME"), Qt $(dpkg-query -W -f='${Version}' libqt6widgets6 2>/dev/null)"
echo "- results log on $(df --output=fstype "$scratch" | tail -1); X server Xvfb with openbox"
echo
echo "## Launch to ready"
echo
cd "$scratch"
"$bench/launchbench" "$runs" morvel2 "$bench/morvel2_ready" reference "$bench/bench_reference"
echo

echo "## An offered exercise against the built-in one"
echo
# The machine's setting must be root's for the program to follow it.
if [[ $(id -u) -eq 0 ]]; then
    offered="$scratch/offered"
    mkdir -p "$offered/xdg/morvel2" "$offered/exercices"
    chmod -R 755 "$offered"
    cp "$sources/packaging/exercices/301-herisson.txt" "$offered/exercices/"
    echo 301-herisson.txt > "$offered/exercices/proposes.conf"
    printf '[exercises]\nfolder=%s\n' "$offered/exercices" > "$offered/xdg/morvel2/morvel2.conf"
    chmod 644 "$offered/exercices/"* "$offered/xdg/morvel2/morvel2.conf"
    MORVEL2_BENCH_OFFERED="$offered/xdg" MORVEL2_BENCH_CHECK=1 "$bench/morvel2_offered_ready"
    MORVEL2_BENCH_OFFERED="$offered/xdg" "$bench/launchbench" "$runs" offered "$bench/morvel2_offered_ready" \
        built-in "$bench/morvel2_ready"
else
    echo "skipped: the machine's setting that offers an exercise must be root's"
fi
echo
echo "## The page filled and adapted against the design's page"
echo
mkdir -p "$scratch/fit/morvel2"
printf '[window]\npage=fit\n' > "$scratch/fit/morvel2/morvel2.conf"
"$bench/launchbench" "$runs" "fit" "XDG_CONFIG_HOME=$scratch/fit $bench/morvel2_ready" design "$bench/morvel2_ready"
echo
"$bench/launchbench" "$runs" "adapted" "$bench/morvel2_ready_adapted" design "$bench/morvel2_ready"
echo

echo "## The teacher's window against the exercise"
echo
mkdir -p "$scratch/cm1"
"$bench/bigclassbench" --class "$scratch/cm1" 35 100
MORVEL2_BENCH_CLASS="$scratch/cm1" "$bench/launchbench" "$runs" exercise "$bench/morvel2_ready" \
    "class window, 35 logs" "$bench/classready"
echo
"$bench/bigclassbench" "$scratch" 200
echo
mkdir -p "$scratch/lateness"
"$bench/windowlatenessbench" "$scratch/lateness" 60 3
rm -rf "$scratch/lateness"
echo

instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 | sed -nE 's/.*Collected : ([0-9]+).*/\1/p'
}
ours=$(instructions "$bench/morvel2_ready")
reference=$(instructions "$bench/bench_reference")
ours_again=$(instructions "$bench/morvel2_ready")
echo "Instructions to ready (callgrind): morvel2 $ours (again: $ours_again), reference $reference," \
    "ratio $(awk -v a="$ours" -v b="$reference" 'BEGIN { printf "%.3f", a / b }')"
echo
echo "## The end of the exercise"
echo
"$bench/endbench" "$runs" 200
echo
echo "## The teacher's table"
echo
"$bench/bilanbench" "$scratch" 200
echo
echo "## A flooded class folder, overlong answers"
echo
"$bench/floodbench" "$scratch" "$build/src/morvel2" 60
