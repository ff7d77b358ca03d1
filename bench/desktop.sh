# Sourced by the benchmarks: one X server for every run, never reset between
# clients, with a window manager so that maximising and focus behave as on a
# desktop. Sets DISPLAY; the servers' process ids go into the caller's
# `pids`, and `scratch` holds the display number.
start_desktop() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -noreset -nolisten tcp 3> "$scratch/display" 2> /dev/null &
    pids+=($!)
    until [[ -s "$scratch/display" ]]; do sleep 0.05; done
    export DISPLAY=":$(head -1 "$scratch/display")"
    openbox > /dev/null 2>&1 &
    pids+=($!)
    sleep 1
}
