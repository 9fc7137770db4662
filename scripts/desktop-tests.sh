#!/usr/bin/env bash
# Runs every window test program (tst_*) of the build once more, each on a desktop of its own
# (scripts/desktop-session.sh: Xvfb with openbox), CTEST_PARALLEL_LEVEL (else one a core) at a time.
# Prints the output of the programs that fail, and writes their names to the file QV_FAILED_LIST
# names, if set; the status is non-zero when any fails.
#   scripts/desktop-tests.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-${BUILD_DIR:-build}}"
case "$build" in /*) ;; *) build="$here/../$build" ;; esac
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
mapfile -t programs < <(find "$build" -maxdepth 1 -type f -name 'tst_*' -perm -u+x | sort)
[ ${#programs[@]} -gt 0 ] || { echo "desktop-tests: no window test programs in $build" >&2; exit 1; }
export QV_SESSION="$here/desktop-session.sh" QV_LOGS="$logs"
start=$(date +%s)
printf '%s\n' "${programs[@]}" | xargs -P "${CTEST_PARALLEL_LEVEL:-$(nproc)}" -I{} bash -c '
  name=$(basename "$1")
  rc=0
  timeout 300 "$QV_SESSION" "$1" >"$QV_LOGS/$name.log" 2>&1 || rc=$?
  if [ "$rc" -eq 0 ]; then
    echo "desktop: $name passed"
  elif [ "$rc" -eq 124 ]; then
    echo "desktop: $name FAILED (still running after 300 s, stopped)"; touch "$QV_LOGS/$name.failed"
  else
    echo "desktop: $name FAILED"; touch "$QV_LOGS/$name.failed"
  fi' _ {}
failed=$(find "$logs" -name '*.failed' | wc -l)
for f in "$logs"/*.failed; do
  [ -e "$f" ] || continue
  echo "==== $(basename "$f" .failed) on the desktop ===="
  cat "${f%.failed}.log"
  [ -z "${QV_FAILED_LIST:-}" ] || basename "$f" .failed >>"$QV_FAILED_LIST"
done
echo "desktop: window test programs run on a desktop in $(( $(date +%s) - start )) s"
echo "desktop: $(( ${#programs[@]} - failed )) passed, $failed failed"
[ "$failed" -eq 0 ]
