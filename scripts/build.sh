#!/usr/bin/env bash
# Builds the native configuration (generators, data, pictures, pages, unit tests,
# benchmarks) and then the Windows configuration (the reader, its companions and the
# Windows-side tests). With "app", builds only what running the reader needs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}
jobs=$(nproc)
what=${1:-all}

cmake -S "$root" -B "$build/native" -DNORAVEL_BUILD_ROOT="$build" >/dev/null
cmake -S "$root" -B "$build/win" -DNORAVEL_BUILD_ROOT="$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null 2>&1 || {
    # The Windows configuration needs the generated resources: make them first.
    cmake --build "$build/native" -j"$jobs" --target generated_data
    cmake -S "$root" -B "$build/win" -DNORAVEL_BUILD_ROOT="$build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
}

if [ "$what" = app ]; then
    cmake --build "$build/native" -j"$jobs" --target generated_data
    cmake --build "$build/win" -j"$jobs" --target dist_programs
else
    cmake --build "$build/native" -j"$jobs"
    cmake --build "$build/win" -j"$jobs"
fi
