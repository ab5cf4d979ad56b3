#!/bin/sh
# WINE PROGRAM [ARGUMENT...]: runs PROGRAM under Wine on an X server and in a
# Wine prefix of its own, both made for the run and removed after it. Wine
# makes a window only for a process that has a display, so every process of
# the prefix, its server and desktop first, starts with this one. Exit 77
# (skipped) where Xvfb is not installed; one that does not start is a failure.
set -u
command -v Xvfb >/dev/null 2>&1 || { echo "Xvfb is not installed: skipped"; exit 77; }
wine=$1
shift
work=$(mktemp -d) || exit 1
xvfb=
finish() {
  if [ -d "$work/prefix" ]; then
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null
    WINEPREFIX="$work/prefix" wineserver -w 2>/dev/null
  fi
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb"
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' HUP INT TERM

# Xvfb picks a free display and writes its number once it takes clients.
mkfifo "$work/display" || exit 1
Xvfb -displayfd 3 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r display <"$work/display"
if [ -z "$display" ]; then
  echo "Xvfb did not start:"
  cat "$work/xvfb.log"
  exit 1
fi
# The server's socket folder goes below TMPDIR: removed with the rest.
export DISPLAY=":$display" WINEPREFIX="$work/prefix" TMPDIR="$work"

# Without Mono and Gecko, whose installers would ask on the display; nothing
# tested uses them.
if ! WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >"$work/wineboot.log" 2>&1; then
  echo "wineboot failed:"
  cat "$work/wineboot.log"
  exit 1
fi
"$wine" "$@"
