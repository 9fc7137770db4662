#!/usr/bin/env bash
# Pictures of report pages of the small posted season, with the shipped columns and colours, as
# headless Chromium shows them: tests/browser/report_screenshots.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
build=${1:?build folder}
out=${2:?output folder}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$build/write_report_season" "$work/pages" --shipped-columns >/dev/null
mkdir -p "$out"
shoot() { # page picture
  rm -rf "$work/profile"
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --disable-dev-shm-usage --user-data-dir="$work/profile" \
    --hide-scrollbars --window-size=900,1000 --screenshot="$work/shot.png" "file://$work/pages/$1" 2>/dev/null
  convert "$work/shot.png" -trim -bordercolor white -border 24 "$out/$2"
}
shoot tc0001-0010000.html report-team-cars.png
shoot tt0001-0010002.html report-team-trades.png
shoot tr000100020002.html report-team-race-detail.png
shoot lr00010000.html report-league-race-summary.png
