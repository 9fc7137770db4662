#!/usr/bin/env bash
# Installs what is missing, builds the program (not the tests) and starts Quorvanti.
# BUILD_DIR may be absolute or relative to the repository (default: build).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
BUILD_TARGETS=quorvanti "$root/scripts/build.sh"
build_dir=${BUILD_DIR:-build}
case "$build_dir" in
  /*) ;;
  *) build_dir="$root/$build_dir" ;;
esac
exec "$build_dir/quorvanti" "$@"
