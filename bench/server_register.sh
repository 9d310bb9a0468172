#!/usr/bin/env bash
# The register cursor's benchmarks (bench_register) on a register on a
# PostgreSQL server on this machine: a throw-away server (pg_virtualenv), the
# register file copied onto it with itm-cli server copy, then the same lines
# as run.sh prints for a file, each name followed by SUFFIX (" (server)"
# unless given; run.sh gives the one its file lines carry, to set them side
# by side).
#   server_register.sh BIN_DIR REGISTER_FILE [SUFFIX [BENCHMARK_OPTIONS...]]
set -euo pipefail
bin=$(readlink -f "${1:?usage: server_register.sh BIN_DIR REGISTER_FILE [SUFFIX]}")
register=$(readlink -f "${2:?usage: server_register.sh BIN_DIR REGISTER_FILE [SUFFIX]}")
suffix=${3- (server)}
shift $(( $# < 3 ? $# : 3 ))
# Inside the throw-away server's environment (its PG* variables).
pg_virtualenv -t bash -c '
    set -euo pipefail
    bin=$1 register=$2 suffix=$3
    shift 3
    createdb registru
    "$bin/itm-cli" server init --db dbname=registru >/dev/null
    "$bin/itm-cli" server copy --from "$register" --to dbname=registru >/dev/null
    # The same medians, named as run.sh names them, each with the suffix.
    medians() {
        awk -v suffix="$suffix" "/_median / { name=\$1; sub(/\\/iterations:[0-9]+/, \"\", name); sub(/_median\$/, \"\", name);
                                     line=name suffix\"\t\"\$2\" \"\$3; for (i=5; i<=NF; i++) if (\$i ~ /=/) line=line\"  \"\$i;
                                     print line }"
    }
    ITM_BENCH_DB=dbname=registru "$bin/bench_register" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true "$@" 2>/dev/null | medians
    # F4 on the server: the first screen, the whole register, a save of another program shown.
    ITM_BENCH_DB=dbname=registru "$bin/bench_month" --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true --benchmark_filter="MonthWindowFirstScreen|MonthWindowWholeRegister|MonthWindowColleagueSave" \
        2>/dev/null | medians
' server_register "$bin" "$register" "$suffix" "$@" 2> >(grep -v "^\(Creating\|Dropping\) \|^20[0-9][0-9]-" >&2)
