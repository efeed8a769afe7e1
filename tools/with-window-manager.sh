#!/usr/bin/env bash
# Runs a command on the current X display under a window manager that frames its
# windows with a title bar (openbox), as a user's desktop does. Run inside xvfb-run.
set -euo pipefail
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
# The manager owns the screen's selection once it is up.
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
"$@"
