#!/usr/bin/env bash
# Prepares the user work folder and prints its path. Used by ./run and by the
# installed desktop entry.
#   itm-workdir.sh SHARE_DIR   (SHARE_DIR holds date.sql, Itm.jpg, legislatie.txt,
#                               instructiuni.txt and shipped-earlier.sha256)
# The database is made from date.sql only when it is absent, and never touched
# otherwise. The picture and the help texts are copied when absent and brought
# up to the shipped version when the copy there is one that was shipped (the
# checksum of the last version copied is kept beside them, in .shipped.sha256;
# shipped-earlier.sha256 names the versions shipped before that file existed),
# so that an upgrade brings new help texts; a copy the user has changed is kept.
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

record="$work/.shipped.sha256"
sum_of() { sha256sum <"$1" | cut -d' ' -f1; }
# The checksum recorded for file $1 in list $2 ("SUM  NAME" lines), if any.
recorded_sums() {
    if [ -f "$2" ]; then awk -v name="$1" '$2 == name { print $1 }' "$2"; fi
}

new_record="$work/.shipped.sha256.new"
: >"$new_record"
for f in Itm.jpg legislatie.txt instructiuni.txt; do
    shipped=$(sum_of "$share/$f")
    kept=$shipped
    if [ -e "$work/$f" ]; then
        current=$(sum_of "$work/$f")
        if [ "$current" != "$shipped" ]; then
            known=$(recorded_sums "$f" "$record"; recorded_sums "$f" "$share/shipped-earlier.sha256")
            if grep -q -x -F -- "$current" <<<"$known"; then
                # A version shipped before, unchanged: the new one replaces it.
                cp "$share/$f" "$work/.$f.new"
                mv "$work/.$f.new" "$work/$f"
            else
                # The user's own: kept, and remembered as it was last shipped.
                kept=$(recorded_sums "$f" "$record" | head -1)
            fi
        fi
    else
        cp "$share/$f" "$work/.$f.new"
        mv "$work/.$f.new" "$work/$f"
    fi
    [ -z "$kept" ] || printf '%s  %s\n' "$kept" "$f" >>"$new_record"
done
if cmp -s "$new_record" "$record"; then
    rm "$new_record"
else
    mv "$new_record" "$record"
fi
printf '%s\n' "$work"
