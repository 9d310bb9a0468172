#!/usr/bin/env bash
# The register cursor's benchmarks (bench_register) on a register on a
# PostgreSQL server on this machine: a throw-away server (pg_virtualenv), the
# register file copied onto it with itm-cli server copy, then the same lines
# as run.sh prints for a file, each name followed by " (server)".
#   server_register.sh BIN_DIR REGISTER_FILE [LABEL [BENCHMARK_OPTIONS...]]
set -euo pipefail
bin=$(readlink -f "${1:?usage: server_register.sh BIN_DIR REGISTER_FILE [LABEL]}")
register=$(readlink -f "${2:?usage: server_register.sh BIN_DIR REGISTER_FILE [LABEL]}")
label=${3:-server}
shift $(( $# < 3 ? $# : 3 ))
# Inside the throw-away server's environment (its PG* variables).
pg_virtualenv -t bash -c '
    set -euo pipefail
    bin=$1 register=$2 label=$3
    shift 3
    createdb registru
    "$bin/itm-cli" server init --db dbname=registru >/dev/null
    "$bin/itm-cli" server copy --from "$register" --to dbname=registru >/dev/null
    # The same medians, named as run.sh names them, each with the label.
    medians() {
        awk -v label="$label" "/_median / { name=\$1; sub(/\\/iterations:[0-9]+/, \"\", name); sub(/_median\$/, \"\", name);
                                     line=name\" (\"label\")\t\"\$2\" \"\$3; for (i=5; i<=NF; i++) if (\$i ~ /=/) line=line\"  \"\$i;
                                     print line }"
    }
    ITM_BENCH_DB=dbname=registru "$bin/bench_register" --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true "$@" 2>/dev/null | medians
    # F4 on the server: the first screen and the whole register.
    ITM_BENCH_DB=dbname=registru "$bin/bench_month" --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true --benchmark_filter="MonthWindowFirstScreen|MonthWindowWholeRegister" \
        2>/dev/null | medians
' server_register "$bin" "$register" "$label" "$@" 2> >(grep -v "^\(Creating\|Dropping\) \|^20[0-9][0-9]-" >&2)
