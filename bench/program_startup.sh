#!/usr/bin/env bash
# The whole program on a private X server: the median of five runs of the time
# from launch until its main window is visible, and until a payer code typed
# as soon as the window shows has been completed from the register.
#   program_startup.sh PROGRAM LABEL=DATABASE...
# Prints one line per measure: "label<TAB>N ms".
#
# Each run starts in a working folder laid out as the program expects
# (data/date.itm, the picture and the help texts beside it). The folder holds
# a backup of the day already, as on every start but the first of a day, so
# the runs measure an ordinary start and not the daily copy of the register.
# The completion is read the way a user would check it: Tab Tab to the payer
# code, the digits, then Ctrl+C copies the completed tail (selected after a
# completion) to the clipboard, which xclip reads.
set -euo pipefail
program=$(readlink -f "${1:?usage: program_startup.sh PROGRAM LABEL=DATABASE...}")
shift
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" xclip >&2
runs=${ITM_STARTUP_RUNS:-5}
typed=${ITM_STARTUP_TYPED:-5}

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "program_startup: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# One run: prints "SHOWN_MS COMPLETED_MS COMPLETION" (the last two "-" when
# there is nothing to complete).
run_once() {
    local folder=$1 expected=$2
    : | xclip -selection clipboard 2>/dev/null || true
    local start shown completed="-" window clip=""
    start=$(now_ms)
    (cd "$folder" && exec "$program") >"$work/program.log" 2>&1 &
    program_pid=$!
    window=""
    for _ in $(seq 20000); do
        window=$(xdotool search --onlyvisible --name '^ITM Declaratie' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
    done
    shown=$(now_ms)
    [ -n "$window" ] || { echo "program_startup: no main window" >&2; cat "$work/program.log" >&2; exit 1; }
    if [ -n "$expected" ]; then
        xdotool windowfocus --sync "$window"
        xdotool key --delay 1 Tab Tab
        xdotool type --delay 1 "$typed"
        xdotool key --delay 1 ctrl+c
        # Polled every 10 ms: a tight loop of processes would take the processor
        # from the program's own reading of the register.
        for _ in $(seq 5000); do
            clip=$(timeout 2 xclip -o -selection clipboard 2>/dev/null || true)
            [ -n "$clip" ] && break
            sleep 0.01
        done
        completed=$(now_ms)
        [ "$typed$clip" = "$expected" ] \
            || { echo "program_startup: typed $typed, completed $typed$clip, expected $expected" >&2; exit 1; }
        completed=$((completed - start))
    fi
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
    echo "$((shown - start)) $completed"
}

for pair in "$@"; do
    label=${pair%%=*}
    database=$(readlink -f "${pair#*=}")
    folder="$work/folder"
    rm -rf "$folder"
    mkdir -p "$folder/data/copii"
    # The program only reads at start; the register itself is not copied.
    ln -s "$database" "$folder/data/date.itm"
    cp "$root/assets/Itm.jpg" "$root/assets/legislatie.txt" "$root/assets/instructiuni.txt" "$folder/"
    : >"$folder/data/copii/date-$(date +%Y%m%d-%H%M%S).itm"
    # The code the program should complete the digits to: the first in code order.
    expected=$(sqlite3 "$database" "SELECT cui FROM firme WHERE cui >= '$typed' AND cui < '$((typed + 1))' ORDER BY cui LIMIT 1")
    # One run first, so that every measured run reads the file from the cache.
    run_once "$folder" "$expected" >/dev/null
    : >"$work/times"
    for _ in $(seq "$runs"); do
        run_once "$folder" "$expected" >>"$work/times"
    done
    printf '%s\t%s ms\n' "whole program to the shown window, $label" "$(cut -d' ' -f1 "$work/times" | median)"
    if [ -n "$expected" ]; then
        printf '%s\t%s ms\n' "whole program to a typed code completed, $label" "$(cut -d' ' -f2 "$work/times" | median)"
    fi
done
