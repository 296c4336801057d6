#!/bin/sh
# Runs a command on a private Xvfb display with Qt's X11 platform, for the tests of the real clipboard.
set -eu
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "xvfb_run: Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(cat "$display_file") QT_QPA_PLATFORM=xcb "$@"
