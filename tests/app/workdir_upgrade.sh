#!/usr/bin/env bash
# The work folder across an upgrade: the launcher's script run once with the
# shipped files of one version, then with those of the next. A picture or help
# text as shipped is replaced by the new one, one the user changed is kept,
# the database is never touched; a work folder seeded before checksums were
# kept is brought up to date as well.
#   workdir_upgrade.sh SOURCE_DIR
set -euo pipefail
source_dir=$(cd "${1:?usage: workdir_upgrade.sh SOURCE_DIR}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Two versions of the shipped files: the next one has new help texts.
old=$scratch/share-old
new=$scratch/share-new
"$source_dir/scripts/stage-share.sh" "$old"
"$source_dir/scripts/stage-share.sh" "$new"
echo "Instructiuni noi" >>"$new/instructiuni.txt"
echo "Legislatie noua" >>"$new/legislatie.txt"
workdir() { XDG_DATA_HOME=$scratch/xdg "$source_dir/scripts/itm-workdir.sh" "$1"; }
work=$scratch/xdg/itm-declaratie

[ "$(workdir "$old")" = "$work" ] || fail "the script does not print the work folder"
for f in Itm.jpg legislatie.txt instructiuni.txt; do
    cmp -s "$old/$f" "$work/$f" || fail "the first start did not copy $f"
done
sqlite3 "$work/data/date.itm" "INSERT INTO firme (cui, denumire) VALUES ('19', 'ALFA')"
echo "Nota mea" >>"$work/legislatie.txt"
cp "$work/legislatie.txt" "$scratch/users-own.txt"
database_before=$(sha256sum <"$work/data/date.itm")

workdir "$new" >/dev/null
cmp -s "$new/instructiuni.txt" "$work/instructiuni.txt" || fail "the shipped help text was not refreshed"
cmp -s "$scratch/users-own.txt" "$work/legislatie.txt" || fail "the user's own help text was replaced"
cmp -s "$new/Itm.jpg" "$work/Itm.jpg" || fail "the picture changed"
[ "$(sha256sum <"$work/data/date.itm")" = "$database_before" ] || fail "the database was touched"
leftovers=$(find "$work" -name '*.new')
[ -z "$leftovers" ] || fail "a temporary file was left: $leftovers"

# Once more with the same version: nothing changes, the user's copy stays.
workdir "$new" >/dev/null
cmp -s "$scratch/users-own.txt" "$work/legislatie.txt" || fail "a second start replaced the user's help text"

# The user goes back to the text as shipped: from then on it follows upgrades.
cp "$new/legislatie.txt" "$work/legislatie.txt"
workdir "$new" >/dev/null
echo "Legislatie si mai noua" >>"$new/legislatie.txt"
workdir "$new" >/dev/null
cmp -s "$new/legislatie.txt" "$work/legislatie.txt" || fail "a help text as shipped did not follow the upgrade"

# A work folder seeded by a version that kept no checksums: a copy that the
# package names as shipped before is refreshed, any other kept.
rm "$work/.shipped.sha256"
echo "Instructiuni dintr-o versiune veche" >"$work/instructiuni.txt"
printf '%s  instructiuni.txt\n' "$(sha256sum <"$work/instructiuni.txt" | cut -d' ' -f1)" >>"$new/shipped-earlier.sha256"
cp "$scratch/users-own.txt" "$work/legislatie.txt"
workdir "$new" >/dev/null
cmp -s "$new/instructiuni.txt" "$work/instructiuni.txt" || fail "a help text shipped before checksums was not refreshed"
cmp -s "$scratch/users-own.txt" "$work/legislatie.txt" || fail "without checksums, the user's help text was replaced"

((failures == 0)) || exit 1
echo "the work folder follows an upgrade and keeps the user's own files and the database"
