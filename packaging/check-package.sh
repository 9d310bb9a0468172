#!/usr/bin/env bash
# Checks a built package: its files are exactly those of packaging/contents,
# it depends on what the programs need at run time, itm-cli links no Widgets,
# and on a fresh user account the desktop entry's command seeds the work
# folder and shows the main window (under Xvfb where there is one; otherwise
# on the offscreen platform, where only a start without error can be seen).
#   check-package.sh PACKAGE.deb
set -euo pipefail
package=$(readlink -f "${1:?usage: check-package.sh PACKAGE.deb}")
here=$(cd "$(dirname "$0")" && pwd)

scratch=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -f "$scratch/program.log" ] && cat "$scratch/program.log" >&2
    exit 1
}

# Contents: files and links, without the folders.
dpkg-deb -c "$package" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$scratch/contents"
if ! diff -u "$here/contents" "$scratch/contents" >"$scratch/contents.diff"; then
    cat "$scratch/contents.diff" >&2
    fail "the package's files differ from packaging/contents (- expected, + in the package)"
fi

# Dependencies: the libraries found in the binaries, the fonts of the printed
# form, the sqlite3 shell that seeds the work folder; no development package.
depends=$(dpkg-deb -f "$package" Depends)
names=$(tr ',|' '\n' <<<"$depends" | sed -e 's/^ *//' -e 's/[ (].*//')
for needed in fonts-liberation2 sqlite3 libc6 libstdc++6 libsqlite3-0 \
    libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libxlsxwriter4 libpq5; do
    grep -q -x -F -- "$needed" <<<"$names" || fail "Depends lacks $needed: $depends"
done
! grep -q -E -- '-dev$|^libqt6test6$' <<<"$names" || fail "Depends names a build-time package: $depends"
dpkg-deb -f "$package" Suggests | grep -q -w bash-completion || fail "Suggests lacks bash-completion"

root=$scratch/root
dpkg-deb -x "$package" "$root"
if objdump -p "$root/usr/bin/itm-cli" | grep -q 'NEEDED.*libQt6Widgets'; then
    fail "itm-cli links Qt Widgets"
fi

# A fresh account: an empty home, no XDG_DATA_HOME; the command line of the
# desktop entry, with the package's bin/ first on the path.
home=$scratch/home
mkdir -p "$home"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/itm-declaratie.desktop")
[ -n "$exec_line" ] || fail "the desktop entry has no Exec line"

display=""
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$scratch/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
    [ -s "$scratch/display" ] && display=":$(head -1 "$scratch/display")"
fi
run_entry() {
    # A clean environment: nothing of the caller's (XDG_DATA_HOME, a build's
    # paths) may make the start succeed.
    cd "$home"
    env -i HOME="$home" USER=itm-test PATH="$root/usr/bin:/usr/bin:/bin" LANG=C.UTF-8 \
        XDG_RUNTIME_DIR="$scratch/runtime" "$@" sh -c "exec $exec_line" >"$scratch/program.log" 2>&1 &
    program_pid=$!
}
mkdir -m 0700 "$scratch/runtime"
if [ -n "$display" ]; then
    run_entry DISPLAY="$display"
else
    echo "note: no X server: the program is started on the offscreen platform"
    run_entry QT_QPA_PLATFORM=offscreen
fi

# The launcher seeds the work folder before it starts the program: once the
# program runs, the folder is complete.
if [ -n "$display" ]; then
    window=""
    for _ in $(seq 300); do
        window=$(DISPLAY=$display xdotool search --onlyvisible --name '^ITM Declaratie fiscala' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its window showed"
        sleep 0.1
    done
    [ -n "$window" ] || fail "no main window appeared"
    # The main window has a fixed size; an error box would be far smaller.
    size=$(DISPLAY=$display xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
    [ "$size" = 777x543 ] || fail "the window shown is $size, not the main window (777x543)"
else
    sleep 3
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended right after it started"
fi

work=$home/.local/share/itm-declaratie
[ -s "$work/data/date.itm" ] || fail "the launcher did not seed $work/data/date.itm"
for f in Itm.jpg legislatie.txt instructiuni.txt; do
    cmp -s "$root/usr/share/itm-declaratie/$f" "$work/$f" || fail "the work folder lacks $f"
done
counties=$(sqlite3 "$work/data/date.itm" 'SELECT count(*) FROM judete')
[ "$counties" = 42 ] || fail "the seeded database holds $counties counties, not 42"
echo "$(basename "$package"): contents, dependencies and a first start on a fresh account are right"
