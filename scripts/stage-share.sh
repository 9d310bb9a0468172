#!/usr/bin/env bash
# Gathers the shipped data into one folder, as it is laid out once installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dest=${1:?usage: stage-share.sh DEST}
mkdir -p "$dest"
cp "$root/data/date.sql" "$root/assets/Itm.jpg" "$root/assets/legislatie.txt" "$root/assets/instructiuni.txt" \
    "$root/assets/shipped-earlier.sha256" "$dest/"
