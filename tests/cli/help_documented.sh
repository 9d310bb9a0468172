#!/usr/bin/env bash
# Every command and option that "itm-cli --help" lists is described in the
# manual page and completed by the bash completion, and the completion offers
# nothing that --help does not list.
#   help_documented.sh ITM_CLI SOURCE_DIR
set -euo pipefail
cli=$(readlink -f "$1")
source_dir=$(cd "$2" && pwd)
page=$source_dir/man/itm-cli.1
completion=$source_dir/packaging/bash-completion/itm-cli

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# "  itm-cli line --cui CODE ... [--db FILE]    print ..." gives the command
# "line" and its options --cui ... --db.
help=$("$cli" --help)
commands=()
declare -A options_of
while read -r program command rest; do
    [ "$program" = itm-cli ] || continue
    commands+=("$command")
    options_of[$command]=$(grep -o -- '--[a-z][a-z0-9-]*' <<<"$rest" | sort -u | tr '\n' ' ' || true)
done <<<"$help"
((${#commands[@]} >= 2)) || fail "itm-cli --help lists no commands: $help"

# The page as plain text: \- is a hyphen, font changes go.
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\%//g' "$page")
# One section (.SH NAME) or subsection (.SS "name ..."), its heading included,
# up to the next heading.
section() {
    awk -v kind="$1" -v name="$2" '
        /^\.S[HS] / {
            title = $0; sub(/^\.S[HS] +"?/, "", title); split(title, first, /[ "]/)
            inside = ($1 == kind && first[1] == name)
        }
        inside' <<<"$text"
}
mentions() { grep -q -E -- "(^|[^a-z-])$2([^a-z0-9-]|$)" <<<"$1"; }

options_section=$(section .SH OPTIONS)
for command in "${commands[@]}"; do
    described=$(section .SS "$command")
    [ -n "$described" ] || [ "$command" = --help ] || fail "the manual page has no subsection for '$command'"
    for option in ${options_of[$command]}; do
        mentions "$described" "$option" || fail "the manual page does not describe $option under '$command'"
        mentions "$options_section" "$option" || fail "the manual page's OPTIONS do not list $option"
    done
done
mentions "$(section .SH SYNOPSIS)" "--help" || fail "the manual page's synopsis has no --help"

# The completion, run as bash runs it on Tab.
# shellcheck source=/dev/null
source "$completion"
complete_words() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _itm_cli || true
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | sort -u | tr '\n' ' '
}
expected_commands=$(printf '%s\n' "${commands[@]}" | sort -u | tr '\n' ' ')
[ "$(complete_words itm-cli "")" = "$expected_commands" ] ||
    fail "completing a command offers '$(complete_words itm-cli "")', --help lists '$expected_commands'"
for command in "${commands[@]}"; do
    [ "$command" = --help ] && continue
    offered=$(complete_words itm-cli "$command" --)
    [ "$offered" = "${options_of[$command]}" ] ||
        fail "completing the options of '$command' offers '$offered', --help lists '${options_of[$command]}'"
done

# File names after --db and --out, folder names after --to, also as --db=...
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/stick"
touch "$scratch/date vechi.itm"
cd "$scratch"
[ "$(complete_words itm-cli line --db "")" = "date vechi.itm stick " ] || fail "--db does not complete file names"
[ "$(complete_words itm-cli pdf --out "")" = "date vechi.itm stick " ] || fail "--out does not complete file names"
[ "$(complete_words itm-cli write --db = "d")" = "date vechi.itm " ] || fail "--db=... does not complete file names"
[ "$(complete_words itm-cli write --to "")" = "stick " ] || fail "--to does not complete folder names"
[ -z "$(complete_words itm-cli write --month "")" ] || fail "--month completes something"
[ "$(complete_words itm-cli line --db x --d)" = "" ] || fail "an option given once is offered again"
[ "$(complete_words itm-cli restore "")" = "date vechi.itm stick " ] || fail "restore's FILE is not completed"
[ "$(complete_words itm-cli restore --db x.itm "d")" = "date vechi.itm " ] ||
    fail "restore's FILE after --db is not completed"
[ "$(complete_words itm-cli restore "date vechi.itm" "")" = "--db --force " ] || fail "restore offers a second FILE"
[ "$(complete_words itm-cli export --register --)" = "--db --out " ] ||
    fail "export --register offers '$(complete_words itm-cli export --register --)'"
[ "$(complete_words itm-cli export --month 3 --)" = "--db --out --year " ] ||
    fail "export --month offers '$(complete_words itm-cli export --month 3 --)'"

# The synopsis as man shows it (on lines wide enough for the longest): one
# line per command, "itm-cli COMMAND ...", with the options --help gives it.
if command -v groff >/dev/null; then
    synopsis=$(groff -man -Tutf8 -rLL=300n -P-cbou "$page" 2>/dev/null |
        awk '/^[A-Z]/ { inside = ($0 == "SYNOPSIS"); next } inside && NF' | sed -e 's/^ *//')
    declare -A synopsis_of
    while read -r line; do
        if [ "$(grep -o -w -- 'itm-cli' <<<"$line" | wc -l)" != 1 ] || [[ $line != "itm-cli "* ]]; then
            fail "a line of the rendered synopsis is not one command: '$line'"
        fi
        read -r _ command _ <<<"$line"
        synopsis_of[$command]=$line
    done <<<"$synopsis"
    for command in "${commands[@]}"; do
        line=${synopsis_of[$command]:-}
        [ -n "$line" ] || { fail "the rendered synopsis has no line of its own for '$command'"; continue; }
        offered=$(grep -o -- '--[a-z][a-z0-9-]*' <<<"${line#itm-cli "$command"}" | sort -u | tr '\n' ' ' || true)
        [ "$command" = --help ] || [ "$offered" = "${options_of[$command]}" ] ||
            fail "the synopsis gives '$command' the options '$offered', --help '${options_of[$command]}'"
    done
fi

# The page is clean roff, where man and groff are installed.
if command -v man >/dev/null && command -v groff >/dev/null; then
    for manual in "$source_dir"/man/*.1; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manual" 2>&1 >/dev/null) ||
            warnings="man cannot format it. $warnings"
        [ -z "$warnings" ] || fail "$manual: $warnings"
    done
fi

((failures == 0)) || exit 1
echo "itm-cli --help, its manual page and its completion agree: ${commands[*]}"
