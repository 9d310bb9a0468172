#!/bin/sh
# Builds the libFuzzer targets with clang in a build folder of their own and
# runs each for the given number of seconds (default 300), one after the other.
# Corpora grow in fuzz/corpus-<target>/ (not versioned), seeded from
# fuzz/seeds/<target>/; a crash leaves its input in <build folder>/fuzz-artifacts/.
#   fuzz/run.sh [seconds] [target...]
set -eu

seconds=${1:-300}
[ $# -gt 0 ] && shift
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build_dir=${ITM_FUZZ_BUILD_DIR:-$source_dir/build-fuzz}
jobs=${ITM_FUZZ_JOBS:-2}

all_targets="fuzz_strtoint fuzz_fiscalcode"
for candidate in fuzz_declarationfile fuzz_declarationline fuzz_storedtext fuzz_registeranswer fuzz_csvreader; do
    [ -f "$here/$candidate.cpp" ] && all_targets="$all_targets $candidate"
done
targets=${*:-$all_targets}

cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
    -DITM_BUILD_FUZZ=ON -DITM_BUILD_TESTS=OFF -DITM_BUILD_BENCH=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$build_dir" -j "$jobs" --target $targets

artifacts="$build_dir/fuzz-artifacts"
mkdir -p "$artifacts"
status=0
for target in $targets; do
    corpus="$here/corpus-$target"
    mkdir -p "$corpus"
    seeds="$here/seeds/$target"
    [ -d "$seeds" ] || seeds=
    echo "== $target for $seconds s"
    # shellcheck disable=SC2086
    if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$build_dir/fuzz/$target" \
        -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "$corpus" $seeds; then
        echo "!! $target found a failure: see $artifacts/"
        status=1
    fi
done
exit $status
