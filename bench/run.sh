#!/usr/bin/env bash
# Builds and runs the benchmarks over generated databases and prints a table
# of medians (5 repetitions each), then each whole-register job beside its
# goal and its limit (bench/limits.sh).
#   bench/run.sh [SIZE...]
# SIZE is 100000 (the register of 100,000 payers and every benchmark that
# needs no larger one) or 1500000 (every employer of the country: the
# register cursor, the backups, the program's start-up and the whole-register
# jobs); without a size, both. Only the registers of the sizes asked for are
# generated.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(100000 1500000)
small=false
large=false
for size in "${sizes[@]}"; do
    case $size in
    100000) small=true ;;
    1500000) large=true ;;
    *)
        echo "run.sh: size $size: use 100000 or 1500000" >&2
        exit 2
        ;;
    esac
done
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" >/dev/null
bin="$root/build/bin"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$work"' EXIT

sqlite3 "$work/empty.itm" < "$root/data/date.sql"
if $small; then
    "$root/bench/generate_register.sh" "$work/register.itm" 100000 >/dev/null
    "$root/bench/generate_register.sh" "$work/month1000.itm" 1000 >/dev/null
    "$root/bench/generate_payer_csv.sh" "$work/payers100k.csv" 100000 >/dev/null
fi
# Every employer of the country (about 380 MB, under a minute to generate).
$large && "$root/bench/generate_register.sh" "$work/register1500k.itm" 1500000 >/dev/null

results="$work/results.txt"
: > "$results"
run_google() {
    local binary=$1
    shift
    ITM_BENCH_DB="${ITM_BENCH_DB:-$work/register.itm}" "$bin/$binary" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        "$@" 2>/dev/null | awk '/_median / { name=$1; sub(/\/iterations:[0-9]+/, "", name); sub(/_median$/, "", name);
                                           line=name"\t"$2" "$3; for (i=5; i<=NF; i++) if ($i ~ /=/) line=line"  "$i;
                                           print line }' | sed "s/\t/${ITM_BENCH_SUFFIX:-}\t/" >> "$results"
}
if $small; then
    run_google bench_register
    run_google bench_declaration_file
    run_google bench_pdf
    run_google bench_month
    # The register's history: ten years of declarations for 10,000 of the 100,000 payers.
    cp "$work/register.itm" "$work/history.itm"
    "$root/bench/generate_history.sh" "$work/history.itm" 10000 >/dev/null
    ITM_BENCH_DB="$work/history.itm" run_google bench_records
    rm -f "$work/history.itm"
    ITM_BENCH_DB="$work/month1000.itm" run_google bench_drive_save
fi
# The register cursor again over every employer of the country: each line beside its 100,000 one.
if $large; then
    ITM_BENCH_DB="$work/register1500k.itm" ITM_BENCH_SUFFIX=" (1,500,000 payers)" run_google bench_register
    ITM_BENCH_DB="$work/register1500k.itm" ITM_BENCH_SUFFIX=" (1,500,000 payers)" run_google bench_month \
        --benchmark_filter="MonthWindowFirstScreen"
fi
# The same registers on a PostgreSQL server on this machine (a throw-away
# one): the register cursor and F4, each line set beside the file's below.
server="$work/server.txt"
: > "$server"
$small && "$root/bench/server_register.sh" "$bin" "$work/register.itm" "" >> "$server"
$large && "$root/bench/server_register.sh" "$bin" "$work/register1500k.itm" " (1,500,000 payers)" >> "$server"
# A backup of each register generated.
(
    $small && export ITM_BENCH_DB="$work/register.itm"
    $large && export ITM_BENCH_DB_LARGE="$work/register1500k.itm"
    "$bin/bench_backup" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null
) | awk '/_median / { name=$1; sub(/\/iterations:[0-9]+/, "", name); sub(/_median$/, "", name);
                      line=name"\t"$2" "$3; for (i=5; i<=NF; i++) if ($i ~ /=/) line=line"  "$i; print line }' >> "$results"

# Whole commands: the median wall time of five runs.
median_of_runs() {
    local label=$1
    shift
    local times=()
    for _ in 1 2 3 4 5; do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000000 )))
    done
    local median
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
    printf '%s\t%s ms\n' "$label" "$median" >> "$results"
}
# Peak memory of a command: the largest resident set, from /usr/bin/time -v.
peak_memory() {
    local label=$1
    shift
    local peak
    # A refused file ends the command with status 1: its memory counts all the same.
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
    peak=$(awk -F': ' '/Maximum resident/ { print $2 }' "$work/time.txt")
    printf '%s\t%s MB\n' "$label" "$(( peak / 1024 ))" >> "$results"
}
if $small; then
    median_of_runs "itm-cli write, 1,000 payers of one month" \
        bash -c "rm -rf '$work/stick' && mkdir -p '$work/stick' && '$bin/itm-cli' write --month 3 --year 2006 --to '$work/stick' --db '$work/month1000.itm'"
    median_of_runs "itm-cli pdf, 1,000 declarations" \
        "$bin/itm-cli" pdf --month 3 --year 2006 --out "$work/month.pdf" --db "$work/month1000.itm"
    median_of_runs "itm-cli month --format csv, 100,000 payers" \
        "$bin/itm-cli" month --month 3 --year 2006 --format csv --db "$work/register.itm"
    median_of_runs "itm-cli copy-month, 1,000 payers" \
        bash -c "cp '$work/month1000.itm' '$work/copy.itm' && '$bin/itm-cli' copy-month --from-month 3 --from-year 2006 --month 4 --year 2006 --db '$work/copy.itm'"
    median_of_runs "itm-cli import, 100,000 payers into an empty register" \
        bash -c "cp '$work/empty.itm' '$work/imported.itm' && '$bin/itm-cli' import --csv '$work/payers100k.csv' --db '$work/imported.itm'"
    median_of_runs "itm-cli export --register, 100,000 payers to .xlsx" \
        "$bin/itm-cli" export --register --out "$work/register.xlsx" --db "$work/register.itm"
    median_of_runs "itm-cli export --register, 100,000 payers to .csv" \
        "$bin/itm-cli" export --register --out "$work/register.csv" --db "$work/register.itm"
    # The import reads its file as a stream: its peak stays flat with the file's size.
    "$root/bench/generate_payer_csv.sh" "$work/payers1m.csv" 1000000 >/dev/null
    peak_memory "itm-cli import --dry-run, 1,000,000 payers: peak memory" \
        "$bin/itm-cli" import --csv "$work/payers1m.csv" --dry-run --db "$work/empty.itm"
    python3 -c "import sys; sys.stdout.write('cui,denumire\n19,' + 'A' * (200 << 20) + '\n')" > "$work/longline.csv"
    peak_memory "itm-cli import --dry-run, one line of 200 MB refused: peak memory" \
        "$bin/itm-cli" import --csv "$work/longline.csv" --dry-run --db "$work/empty.itm"
    rm -f "$work/payers1m.csv" "$work/longline.csv"
fi

# The whole program on a private X server: launch to the shown window, and to
# a code typed at once completed from the register.
startup=("empty database=$work/empty.itm")
$small && startup+=("100,000 payers=$work/register.itm")
$large && startup+=("1,500,000 payers=$work/register1500k.itm")
"$root/bench/program_startup.sh" "$bin/itm-declaratie" "${startup[@]}" >> "$results"

# Each whole-register job beside its goal and its limit, at the sizes asked
# for (the registers made above; limits.sh makes the payer files).
mkdir -p "$work/limits"
$small && ln -s "$work/register.itm" "$work/limits/register100000.itm"
$large && ln -s "$work/register1500k.itm" "$work/limits/register1500000.itm"
cp "$work/empty.itm" "$work/limits/empty.itm"
ITM_LIMIT_SIZES="${sizes[*]}" "$root/bench/limits.sh" "$bin" "$work/limits" > "$work/limits.txt"

printf '\n%-60s %s\n' "benchmark" "median"
printf '%-60s %s\n' "---------" "------"
while IFS=$'\t' read -r name value; do
    printf '%-60s %s\n' "$name" "$value"
done < "$results"
printf '\n%-60s %-28s %s\n' "register on a file and on a server" "file" "server"
printf '%-60s %-28s %s\n' "----------------------------------" "----" "------"
while IFS=$'\t' read -r name value; do
    file=$(awk -F'\t' -v name="$name" '$1 == name { print $2; exit }' "$results")
    printf '%-60s %-28s %s\n' "$name" "${file:--}" "$value"
done < "$server"
printf '\n%-72s %-36s %s\n' "job" "measure" "goal; limit"
printf '%-72s %-36s %s\n' "---" "-------" "-----------"
while IFS=$'\t' read -r name value limit; do
    printf '%-72s %-36s %s\n' "$name" "$value" "$limit"
done < "$work/limits.txt"
