#!/usr/bin/env bash
# Every key a window shows as a hint ("F3 - date ANAF", "Ctrl+1..9 - sortare
# ...") is described in the help text that F1 opens and in itm-declaratie(1),
# as are the month window, import, export, backups and restore.
#   keys_documented.sh SOURCE_DIR
set -euo pipefail
source_dir=$(cd "${1:?usage: keys_documented.sh SOURCE_DIR}" && pwd)
help=$source_dir/assets/instructiuni.txt
page=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$source_dir/man/itm-declaratie.1")
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The keys of the hints: "KEY - what" in the windows' texts, several to a hint.
keys=$(grep -h -o -E '"[^"]* - [^"]*"' "$source_dir"/src/app/*.cpp "$source_dir"/src/payers/*.cpp \
    "$source_dir"/src/month/*.cpp "$source_dir"/src/records/*.cpp "$source_dir"/src/output/OutputPanel.cpp |
    grep -o -E '((Shift|Ctrl)\+)?F[0-9]+ - |Ctrl\+[0-9.]+ - |Spatiu, Shift\+sageti - ' |
    sed 's/ - $//' | sort -u)
[ "$(wc -l <<<"$keys")" -ge 5 ] || fail "found too few hints in the windows: $keys"
while read -r key; do
    grep -q -F -- "$key" "$help" || fail "instructiuni.txt does not describe $key"
    # The page writes "Ctrl+1 to Ctrl+9" and "Space" for the hints' Romanian.
    page_key=${key/Ctrl+1..9/Ctrl+1 to Ctrl+9}
    page_key=${page_key/Spatiu, Shift+sageti/Space and Shift+arrows}
    grep -q -F -- "$page_key" <<<"$page" || fail "itm-declaratie(1) does not describe $key"
done <<<"$keys"

for topic in "Situatia declaratiilor pe luna" "Fisa platitorului" "Import platitori" "Export registru" "data/copii" "itm-cli restore"; do
    grep -q -F -- "$topic" "$help" || fail "instructiuni.txt does not mention '$topic'"
done
for topic in "Month window" "Payer's statement" "Import and export" "Backups and restore" "itm-cli restore"; do
    grep -q -F -- "$topic" <<<"$page" || fail "itm-declaratie(1) does not mention '$topic'"
done

((failures == 0)) || exit 1
echo "the help text and itm-declaratie(1) describe the keys: $(tr '\n' ' ' <<<"$keys")"
