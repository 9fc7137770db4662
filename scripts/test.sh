#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (and the benchmarks at a small size), then
# runs the window tests again on an X desktop with a window manager (Xvfb + openbox), where focus,
# activation and window frames behave as a user sees them. Both passes always run; the end of the
# output lists every test that failed in either, and the status is non-zero when any did.
# QV_SANITIZE=ON builds with AddressSanitizer and UBSan into build-asan.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$(date +%s)
scripts/deps.sh
if [ "${QV_SANITIZE:-OFF}" = "ON" ]; then
  export BUILD_DIR=${BUILD_DIR:-build-asan}
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
  scripts/build.sh -DQV_SANITIZE=ON
else
  scripts/build.sh
fi
built=$(date +%s)
cd "${BUILD_DIR:-build}"

# The offscreen pass. ctest keeps the names of the tests that failed in LastTestsFailed.log
# (one "number:name" a line); an old list must not be taken for this run's.
failed_list=Testing/Temporary/LastTestsFailed.log
rm -f "$failed_list"
offscreen=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j "${CTEST_PARALLEL_LEVEL:-$(nproc)}" ||
  offscreen=$?
offscreen_failed=()
if [ -f "$failed_list" ]; then
  mapfile -t offscreen_failed < <(cut -d: -f2- "$failed_list")
fi
tested=$(date +%s)

# The desktop pass, also when the offscreen one failed: a fault that shows in only one of them is
# told apart from one that shows in both.
desktop=0
desktop_failed_list=$(mktemp)
trap 'rm -f "$desktop_failed_list"' EXIT
QV_FAILED_LIST="$desktop_failed_list" "$OLDPWD/scripts/desktop-tests.sh" "$PWD" || desktop=$?
mapfile -t desktop_failed <"$desktop_failed_list"
finished=$(date +%s)

echo "test: built in $((built - start)) s, offscreen tests in $((tested - built)) s, desktop tests in" \
  "$((finished - tested)) s, $((finished - start)) s in all"
if [ "$offscreen" -ne 0 ]; then
  if [ ${#offscreen_failed[@]} -gt 0 ]; then
    printf 'test: FAILED offscreen: %s\n' "${offscreen_failed[@]}"
  else
    echo "test: FAILED offscreen: ctest ended with status $offscreen"
  fi
fi
if [ "$desktop" -ne 0 ]; then
  if [ ${#desktop_failed[@]} -gt 0 ]; then
    printf 'test: FAILED on the desktop: %s\n' "${desktop_failed[@]}"
  else
    echo "test: FAILED on the desktop: desktop-tests.sh ended with status $desktop"
  fi
fi
if [ "$offscreen" -ne 0 ] || [ "$desktop" -ne 0 ]; then
  exit 1
fi
echo "test: every test passed"
