#!/usr/bin/env bash
# The whole road in a real window: starts the program on a private X server in
# a fresh working folder and drives it with real key events, then checks the
# database rows and the written declaration files byte for byte.
#   walkthrough.sh PROGRAM SOURCE_DIR
set -euo pipefail
program=$(readlink -f "$1")
source_dir=$2

work=$(mktemp -d)
display=""
mountpoint=""
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    if [ -n "$mountpoint" ]; then
        umount "$mountpoint" 2>/dev/null || true
        rmdir "$mountpoint" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
fail() {
    echo "FAIL: $*" >&2
    cat "$work/program.log" >&2 || true
    DISPLAY=$display /usr/bin/import -window root "$work/failure.png" 2>/dev/null && cp "$work/failure.png" /tmp/itm-walkthrough-failure.png || true
    exit 1
}

mkdir -p "$work/data"
sqlite3 "$work/data/date.itm" < "$source_dir/data/date.sql"
cp "$source_dir/assets/Itm.jpg" "$source_dir/assets/legislatie.txt" "$source_dir/assets/instructiuni.txt" "$work/"

# A removable destination: a tmpfs under /media/, which only root may mount.
# The drive dialog selects the last drive it lists, so no earlier run's
# destination may be left behind; one of a run still going is its own.
for stale in /media/itm-walkthrough-*; do
    [ -d "$stale" ] || continue
    kill -0 "${stale##*-}" 2>/dev/null && continue
    umount "$stale" 2>/dev/null || true
    rmdir "$stale" 2>/dev/null || true
done
if [ "$(id -u)" -eq 0 ] && mkdir -p /media/itm-walkthrough-$$ && mount -t tmpfs -o size=4m tmpfs /media/itm-walkthrough-$$ 2>/dev/null; then
    mountpoint=/media/itm-walkthrough-$$
else
    rmdir /media/itm-walkthrough-$$ 2>/dev/null || true
    echo "note: not root or no mount permission: the declaration file step is skipped"
fi

# The server picks a free display number itself and tells it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
# No X server here: the walk-through cannot run (CTest reports it skipped).
[ -s "$work/display" ] || { echo "skipped: Xvfb did not start" >&2; exit 77; }
display=":$(head -1 "$work/display")"
export DISPLAY=$display
unset QT_QPA_PLATFORM
(cd "$work" && exec "$program") >"$work/program.log" 2>&1 &
program_pid=$!

# Waits (up to 10 s) for a visible window whose name matches, and prints its id.
find_window() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || fail "no window named $1 appeared"
    printf '%s\n' "$id"
}
main=$(find_window '^ITM Declaratie')
snap() { [ -n "${ITM_WALKTHROUGH_SHOTS:-}" ] && /usr/bin/import -window root "$ITM_WALKTHROUGH_SHOTS/$1.png" 2>/dev/null || true; }
focus_main() { xdotool windowfocus --sync "$main"; sleep 0.2; }
# Keys go to the window that has the keyboard focus; there is no window manager.
keys() { xdotool key --delay 60 "$@"; sleep 0.25; }
text() { xdotool type --delay 40 "$1"; sleep 0.25; }
answer_box() { # caption, key
    local box
    box=$(find_window "$1")
    xdotool windowfocus --sync "$box"
    sleep 0.2
    keys "$2"
    [ "${3:-}" = last ] || focus_main
}

focus_main
# The payer code: a new payer.
keys Tab Tab
text 19
keys Return
keys Return # the name button
# The legal name: S.C. (Enter), the name (Enter), S.R.L. (Enter).
dialog=$(find_window '^Compunere Denumire$')
xdotool windowfocus --sync "$dialog"
sleep 0.2
keys Return
text alfa
keys Return Return
focus_main
# County, locality (the sector is passed over), street, number, ... representative.
text DOLJ
keys Return
text CRAIOVA
keys Return
text UNIRII
keys Return
text 5
keys Return Return Return Return Return Return Return Return Return
text POPESCU
keys Return
text ION
keys Return
text ADMINISTRATOR
keys Return
keys Return # "Validare date societate"
keys Return # "Declaratie lunara"
# The period: March 2006, a new declaration.
keys ctrl+a
text 03
keys Return ctrl+a
text 2006
keys Return
answer_box '^Confirm$' Return
# Amounts: employees, salary fund (Enter jumps to the amount paid), paid.
keys Return Return
text 4
keys Return
text 50000
keys Return
text 100
keys alt+d # "Inregistrare declaratie"
sleep 0.5
snap 1-saved

if [ -n "$mountpoint" ]; then
    keys Return # "Generare discheta I.T.M."
    drives=$(find_window '^ITM$')
    sleep 0.8 # the drive list is polled every half second
    xdotool windowfocus --sync "$drives"
    sleep 0.2
    keys Return
    focus_main
fi
snap 2-generated
# The print preview, opened and closed.
keys alt+l
preview=$(find_window 'Print Preview|Previzualizare')
xdotool windowfocus --sync "$preview"
sleep 0.5
keys Escape
focus_main
snap 3-printed
# Back through the panels and out.
keys Escape
snap 4-period
keys Escape
answer_box '^Confirm$' Return
keys Escape
keys Escape
answer_box '^Confirm$' Return last
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "the program did not end after 'Parasiti aplicatia ?'"
program_pid=""

payer=$(sqlite3 -separator '|' "$work/data/date.itm" "select cui, prefix, denumire, sufix, codjudet, loc, sector, str, nr, bloc, banca, cont, numerep, prenumerep, funcrep, faliment, lcui from firme")
[ "$payer" = "19|1|ALFA|1|16|CRAIOVA|0|UNIRII|5| |fara banca|fara iban|POPESCU|ION|ADMINISTRATOR|0|0" ] || fail "payer row: $payer"
declaration=$(sqlite3 -separator '|' "$work/data/date.itm" "select idfirma, ln, an, rectificativ, com25, nrsal, fondlunsal, comdat, comac, comdec, comdecac from declaratii")
[ "$declaration" = "1|3|2006|0|0|4|50000|375|100|0|0" ] || fail "declaration row: $declaration"

if [ -n "$mountpoint" ]; then
    printf '"03","2006",19,1,"ALFA",1,"16","CRAIOVA",0,"UNIRII","5"," "," "," "," "," "," ","fara banca","fara iban",0,0,4,50000,375,100,0,0,"POPESCU","ION","ADMINISTRATOR",0,0," "," "," ",0," "," "," "," "," "," "," "," ",0,0,0\r\n' > "$work/expected.txt"
    cmp -s "$mountpoint/IM200603.txt" "$work/expected.txt" || fail "declaration file: $(cat -A "$mountpoint/IM200603.txt")"
    cmp -s "$mountpoint/IM200603.txt" "$mountpoint/Rez/IM200603.txt" || fail "the copy in Rez differs"
fi
echo "walk-through passed"
