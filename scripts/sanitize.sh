#!/usr/bin/env bash
# Builds itm-cli and the suites without a window (the ctest label "core": the
# store, every rule, the outputs, the exchange, the backups and every itm-cli
# command) with the address and undefined-behaviour sanitizers in
# build-sanitize/ and runs them there: a fault either finds (a bad read or
# write, a leak, an overflow) fails the run. Left out are the windows' suites
# (they would build the whole window library again under the sanitizers) and
# itm-cli's backups killed at random moments, which test timing more than
# memory (15 s); the plain build runs them. Arguments go to ctest.
#   scripts/sanitize.sh [ctest arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-sanitize
slow='^tst_cli_backup$'

if [ ! -f "$build/build.ninja" ]; then
    launcher=()
    if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DITM_SANITIZE=ON \
        -DITM_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target itm_core_tests

cd "$build"
# Every report fails the test that caused it, with the stack of the fault
# (the address sanitizer stops at its first report by itself).
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
# Full stacks for the leaks, so that a suppression can name a frame of Qt's.
export ASAN_OPTIONS=${ASAN_OPTIONS:-fast_unwind_on_malloc=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
ctest --output-on-failure -j"$(nproc)" -L core -E "$slow" "$@"
