#!/usr/bin/env bash
# Runs COMMAND on a private X display: Xvfb on a display it picks itself, with the openbox window
# manager, so that window frames, activation and keyboard focus behave as on a user's desktop (the
# offscreen platform has none of the three). Both are stopped when COMMAND ends; its status is ours.
#   scripts/desktop-session.sh COMMAND [ARG...]
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: desktop-session.sh COMMAND [ARG...]" >&2; exit 2; }
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "desktop-session: $tool is missing (scripts/deps.sh installs it)" >&2; exit 2; }
done
tmp=$(mktemp -d)
xpid=""
wmpid=""
cleanup() {
  [ -z "$wmpid" ] || kill "$wmpid" 2>/dev/null || true
  [ -z "$xpid" ] || kill "$xpid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
# -displayfd: the server takes a free display number and writes it once it accepts connections.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$tmp/display" </dev/null >"$tmp/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 200); do
  [ -s "$tmp/display" ] && break
  kill -0 "$xpid" 2>/dev/null || { cat "$tmp/xvfb.log" >&2; exit 1; }
  sleep 0.05
done
[ -s "$tmp/display" ] || { echo "desktop-session: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$tmp/display")"
# A home of its own: the window manager then reads and writes no one's settings.
HOME="$tmp" openbox --sm-disable --startup "touch $tmp/wm-ready" </dev/null >"$tmp/openbox.log" 2>&1 &
wmpid=$!
for _ in $(seq 200); do
  [ -e "$tmp/wm-ready" ] && break
  sleep 0.05
done
[ -e "$tmp/wm-ready" ] || { cat "$tmp/openbox.log" >&2; echo "desktop-session: openbox did not start" >&2; exit 1; }
export QT_QPA_PLATFORM=xcb
mkdir -m 700 "$tmp/runtime"
export XDG_RUNTIME_DIR="$tmp/runtime"
rc=0
"$@" </dev/null || rc=$?
exit $rc
