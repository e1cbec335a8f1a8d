#!/usr/bin/env bash
# Runs a command on a private X display (Xvfb), with a real window manager or none:
#   tests/e2e/qt/on_x_display.sh openbox|none COMMAND [ARGUMENT...]
# The command runs with DISPLAY set, on Qt's xcb platform, and TESSARINE_WINDOW_MANAGER
# naming what manages its windows. Exits with the command's status, or 77 (a skip, with
# the reason printed) only when Xvfb or the window manager cannot start at all.
set -uo pipefail

skip_code=77
window_manager=${1:-}
shift || true
if [ "$window_manager" != openbox ] && [ "$window_manager" != none ] || [ $# -eq 0 ]; then
  echo "uso: $0 openbox|none ORDEN [ARGUMENTO...]" >&2
  exit 2
fi

skip() {
  echo "SKIP: $*"
  exit "$skip_code"
}

command -v Xvfb >/dev/null || skip "Xvfb is not installed (package xvfb)"
command -v xprop >/dev/null || skip "xprop is not installed (package x11-utils)"
if [ "$window_manager" = openbox ]; then
  command -v openbox >/dev/null || skip "openbox is not installed (package openbox)"
fi

work=$(mktemp -d /tmp/tessarine-x.XXXXXX)
xvfb_pid=""
wm_pid=""
finish() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

# Xvfb picks a free display itself and writes its number to the descriptor given. With
# TESSARINE_X_SCREENS="1280x800x24 1920x1080x24" it has one X screen for each, as a
# caller's desk with a projector beside it: Qt sees each as a screen of its own.
screens=()
index=0
for size in ${TESSARINE_X_SCREENS:-1280x800x24}; do
  screens+=(-screen "$index" "$size")
  index=$((index + 1))
done
Xvfb -displayfd 3 "${screens[@]}" -nolisten tcp 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -3 "$work/xvfb.log" | tr '\n' ' ')"
export DISPLAY=":$(head -1 "$work/display")"
# The display answers before anything else is started on it.
for _ in $(seq 50); do
  xprop -root >/dev/null 2>&1 && break
  sleep 0.1
done
xprop -root >/dev/null 2>&1 || skip "the display $DISPLAY of Xvfb does not answer"

wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

if [ "$window_manager" = openbox ]; then
  # A second try if it gives up at once; its settings and cache stay in the work folder.
  for _ in 1 2; do
    XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache openbox >"$work/wm.log" 2>&1 &
    wm_pid=$!
    # The window manager is up once it names its check window on the root window.
    for _ in $(seq 100); do
      wm_ready && break
      kill -0 "$wm_pid" 2>/dev/null || break
      sleep 0.1
    done
    wm_ready && break
  done
  wm_ready || skip "openbox did not start: $(tail -3 "$work/wm.log" | tr '\n' ' ')"
fi

QT_QPA_PLATFORM=xcb TESSARINE_WINDOW_MANAGER=$window_manager "$@"
