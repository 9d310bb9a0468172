#!/usr/bin/env bash
# Starts the installed program in the user work folder, seeding it first with
# the same script that ./run uses.
set -euo pipefail
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
share="$here/../share/itm-declaratie"
work=$("$share/itm-workdir.sh" "$share")
cd "$work"
exec "$here/itm-declaratie" "$@"
