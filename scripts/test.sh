#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (and the benchmarks at a small size), then
# runs the window tests again on an X desktop with a window manager (Xvfb + openbox), where focus,
# activation and window frames behave as a user sees them.
# QV_SANITIZE=ON builds with AddressSanitizer and UBSan into build-asan.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/deps.sh
if [ "${QV_SANITIZE:-OFF}" = "ON" ]; then
  export BUILD_DIR=${BUILD_DIR:-build-asan}
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
  scripts/build.sh -DQV_SANITIZE=ON
else
  scripts/build.sh
fi
cd "${BUILD_DIR:-build}"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure --no-tests=error -j "$(nproc)"
unset QT_QPA_PLATFORM
"$OLDPWD/scripts/desktop-tests.sh" "$PWD"
