#!/usr/bin/env bash
# Configures and builds into ${BUILD_DIR:-build} (absolute, or relative to the repository). Extra arguments go
# to the configure step; BUILD_TARGETS (blank-separated) limits the build to those targets, and
# CMAKE_BUILD_PARALLEL_LEVEL the jobs at a time (else one a core).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ -f "$BUILD_DIR/CMakeCache.txt" ] && ! grep -q 'CMAKE_GENERATOR:INTERNAL=Ninja$' "$BUILD_DIR/CMakeCache.txt"; then
  rm -rf "$BUILD_DIR"
fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "$@"
targets=()
for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$BUILD_DIR" -j "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" "${targets[@]}"
