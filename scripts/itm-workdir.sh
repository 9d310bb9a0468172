#!/usr/bin/env bash
# Prepares the user work folder and prints its path. Everything is copied only
# when it is absent there: a user's database, picture or help texts are never
# overwritten. Used by ./run and by the installed desktop entry.
#   itm-workdir.sh SHARE_DIR   (SHARE_DIR holds date.sql, Itm.jpg, legislatie.txt, instructiuni.txt)
set -euo pipefail
share=${1:?usage: itm-workdir.sh SHARE_DIR}
work="${XDG_DATA_HOME:-$HOME/.local/share}/itm-declaratie"
mkdir -p "$work/data"
if [ ! -e "$work/data/date.itm" ]; then
    tmp="$work/data/.date.itm.new"
    rm -f "$tmp"
    sqlite3 "$tmp" < "$share/date.sql"
    mv "$tmp" "$work/data/date.itm"
fi
for f in Itm.jpg legislatie.txt instructiuni.txt; do
    [ -e "$work/$f" ] || cp "$share/$f" "$work/$f"
done
printf '%s\n' "$work"
