#!/usr/bin/env bash
# Configures (once) and builds the program, itm-cli, the tests and the benchmarks into ./build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ ! -f build/build.ninja ]; then
    launcher=()
    # A compiler cache, where the machine has one, makes rebuilds in other checkouts cheap.
    if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build build -j"$(nproc)"
