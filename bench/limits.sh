#!/usr/bin/env bash
# Each whole-register job beside its goal and its limit: the same work done by
# the smallest honest program (sqlite3 itself, or a python script in
# bench/limits/), at 100,000 and 1,500,000 payers. Prints
# "job<TAB>measure<TAB>goal; limit" lines; the
# times are the median wall time of three runs with its processor time (user +
# system), the memory the peak resident set of the median run; the first line
# gives the load average when the run began.
#   limits.sh BIN_DIR WORK_DIR
# WORK_DIR keeps the generated registers and payer files between runs;
# ITM_LIMIT_SIZES="100000" measures one size only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(readlink -f "${1:?usage: limits.sh BIN_DIR WORK_DIR}")
work=${2:?usage: limits.sh BIN_DIR WORK_DIR}
mkdir -p "$work"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
[ -f "$work/empty.itm" ] || sqlite3 "$work/empty.itm" < "$root/data/date.sql"
listing_sql="SELECT f.cui, f.denumire, f.codjudet, d.rectificativ, d.nrsal, d.fondlunsal, d.comdat, d.comac
FROM firme f LEFT JOIN declaratii d ON d.id = (SELECT x.id FROM declaratii x WHERE x.idfirma = f.id AND x.ln = 3
AND x.an = 2006 ORDER BY x.id LIMIT 1) ORDER BY f.cui COLLATE BINARY, f.id"

# measure PREPARE COMMAND...: prints "SECONDS PEAK_MB" of the median of three
# runs (ITM_LIMIT_RUNS, odd); PREPARE (a shell command) runs before each one, untimed.
run_count=${ITM_LIMIT_RUNS:-3}
measure() {
    local prepare=$1
    shift
    local runs=()
    for _ in $(seq "$run_count"); do
        bash -c "$prepare"
        /usr/bin/time -f "%e %M %U %S" -o "$scratch/time" "$@" >/dev/null 2>&1 || true
        runs+=("$(cat "$scratch/time" | tail -1)")
    done
    printf '%s\n' "${runs[@]}" | sort -n | sed -n "$(((${#runs[@]} + 1) / 2))p" | awk '{ printf "%.2f s (%.2f s CPU), %d MB", $1, $3 + $4, $2 / 1024 }'
}
line() { printf '%s\t%s\t%s\n' "$1" "$2" "$3"; }
line "load average at the start" "$(cut -d' ' -f1-3 /proc/loadavg)" "$(nproc) processors"

for count in ${ITM_LIMIT_SIZES:-100000 1500000}; do
    label=$(echo "$count" | sed ':a; s/\B[0-9]\{3\}\>/,&/; ta')
    large=false
    [ "$count" -ge 1500000 ] && large=true
    register="$work/register$count.itm"
    payers="$work/payers$count.csv"
    [ -f "$register" ] || "$root/bench/generate_register.sh" "$register" "$count" >/dev/null
    [ -f "$payers" ] || "$root/bench/generate_payer_csv.sh" "$payers" "$count" >/dev/null

    # The goal of a key typed in the month window's filter at this size.
    key_goal="30 ms"
    $large && key_goal="150 ms"

    line "itm-cli write, $label payers of one month" \
        "$(measure "rm -rf '$scratch/stick' && mkdir '$scratch/stick'" "$bin/itm-cli" write --month 3 --year 2006 \
            --to "$scratch/stick" --db "$register")" \
        "2 x python (goal); $(measure "rm -rf '$scratch/stick' && mkdir '$scratch/stick'" python3 \
            "$root/bench/limits/write_month.py" "$register" 3 2006 "$scratch/stick") (python)"
    line "itm-cli month --format csv, $label payers" \
        "$(measure true "$bin/itm-cli" month --month 3 --year 2006 --format csv --db "$register")" \
        "printed as read, memory flat (goal); $(measure true sqlite3 -csv "$register" "$listing_sql") (sqlite3, the same query)"
    line "itm-cli import, $label payers into an empty register" \
        "$(measure "cp '$work/empty.itm' '$scratch/imported.itm'" "$bin/itm-cli" import --csv "$payers" \
            --db "$scratch/imported.itm")" \
        "2 x sqlite3, memory flat (goal); $(measure "cp '$work/empty.itm' '$scratch/imported.itm'" sqlite3 \
            "$scratch/imported.itm" ".import --csv $payers staging") (sqlite3 .import)"
    line "itm-cli export --register, $label payers to .csv" \
        "$(measure true "$bin/itm-cli" export --register --out "$scratch/register.csv" --db "$register")" \
        "-; $(measure true sqlite3 -csv -header "$register" "SELECT * FROM firme ORDER BY cui, id") (sqlite3)"
    line "itm-cli export --register, $label payers to .xlsx" \
        "$(measure true "$bin/itm-cli" export --register --out "$scratch/register.xlsx" --db "$register")" \
        "$([ "$count" -gt 1048575 ] && echo "refused at once, before a row is written (goal)" || echo "-")"
    # The month window in process (the mean of each benchmark's iterations).
    ITM_BENCH_DB="$register" "$bin/bench_month" 2>/dev/null | awk '/iterations:/ { name=$1;
        sub(/\/iterations:[0-9]+/, "", name); print name "\t" $2 " " $3 " (" $4 " " $5 " CPU)" }' > "$scratch/month"
    window() { awk -F'\t' -v name="$1" '$1 == name { print $2 }' "$scratch/month"; }
    # The whole register's peak memory: a process that reads only it.
    ITM_BENCH_DB="$register" /usr/bin/time -f "%M" -o "$scratch/window-memory" "$bin/bench_month" \
        --benchmark_filter='^MonthWindowWholeRegister' >/dev/null 2>&1 || true
    line "the month window's first screen, $label payers" "$(window MonthWindowFirstScreen)" "150 ms (goal)"
    line "the month window's whole register, $label payers" \
        "$(window MonthWindowWholeRegister), $(($(tail -1 "$scratch/window-memory") / 1024)) MB" \
        "3 s, 200 MB at 1,500,000 (goal); $(measure true python3 "$root/bench/limits/month_listing.py" "$register" 3 \
            2006) (python: file order, sorted)"
    line "another month in the month window, $label payers" "$(window MonthWindowChangeOfMonth)" "-"
    line "every payer's balance in the month window, behind its first screen, $label payers" \
        "$(window MonthWindowBalances)" "-"
    for order in 1:name 2:county; do
        line "the whole register sorted by ${order#*:}, $label payers" "$(window "MonthWindowSort/${order%%:*}")" \
            "0.8 s at 1,500,000 (goal)"
    done
    line "a filter key narrowing, $label payers" "$(window FilterKeystrokeNarrowing)" "$key_goal (goal)"
    for order in 0:code 1:name 2:county; do
        line "a filter key widening, sorted by ${order#*:}, $label payers" \
            "$(window "FilterKeystrokeWidening/${order%%:*}")" "$key_goal (goal)"
    done
    line "longest wait of a post every 20 ms while the backup runs, $label payers" \
        "$(ITM_BENCH_DB="$register" "$bin/bench_backup" --benchmark_filter=WhilePosting 2>/dev/null \
            | grep -o 'longest_post_ms=[0-9.]*' | cut -d= -f2) ms" "100 ms (goal)"
    line "a backup of $label payers" \
        "$(measure "rm -rf '$scratch/copies' && mkdir '$scratch/copies'" "$bin/itm-cli" backup --db "$register" \
            --to "$scratch/copies")" \
        "-; $(measure "rm -f '$scratch/copy.itm'" sqlite3 "$register" ".backup $scratch/copy.itm") (sqlite3 .backup)"
    # A key typed in the payer-code field as the window shows, while the
    # register's keys are still read behind it: answered from the index, long
    # before that read ends.
    ITM_BENCH_DB="$register" "$bin/bench_register" --benchmark_filter='KeystrokeAtShow|StartupToRegisterRead' \
        2>/dev/null | awk '/iterations:/ { name=$1; sub(/\/iterations:[0-9]+/, "", name);
            print name "\t" $2 " " $3 " (" $4 " " $5 " CPU)" }' > "$scratch/register"
    cursor() { awk -F'\t' -v name="$1" '$1 == name { print $2 }' "$scratch/register"; }
    for key in 0:digit 1:letter; do
        line "a ${key#*:} typed in the payer code as the window shows, $label payers" \
            "$(cursor "KeystrokeAtShow/letter:${key%%:*}")" \
            "answered from the index (goal); the register's read to its end: $(cursor StartupToRegisterRead)"
    done
    rm -rf "$scratch"/*
done
