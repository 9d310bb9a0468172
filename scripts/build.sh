#!/usr/bin/env bash
# Configures (once) and builds the program, itm-cli, the tests and the benchmarks into ./build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# CI sets ITM_WARNINGS_AS_ERRORS=ON; a build folder configured the other way
# is configured again.
werror=${ITM_WARNINGS_AS_ERRORS:-OFF}
if [ -f build/build.ninja ] && ! grep -qx "ITM_WARNINGS_AS_ERRORS:BOOL=$werror" build/CMakeCache.txt; then
    cmake -S . -B build -DITM_WARNINGS_AS_ERRORS="$werror" >/dev/null
fi
if [ ! -f build/build.ninja ]; then
    launcher=()
    # A compiler cache, where the machine has one, makes rebuilds in other checkouts cheap.
    if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DITM_WARNINGS_AS_ERRORS="$werror" "${launcher[@]}" >/dev/null
fi
cmake --build build -j"$(nproc)"
