#!/bin/sh
# WINE UPDATE FAKE_APP_V1 FAKE_APP_V2: runs update.exe under Wine from folders
# past 260 characters, started by its Unix path as a script starts it (no
# Windows call starts a program that deep), and checks that each run installs,
# logs to its end and starts the application in the updater's folder. Wine
# takes such a folder for current and then breaks the programs started from
# it: the starting process's heap, or their folder (the Windows folder).
set -u
wine=$1 update=$2 v1=$3 v2=$4
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
command -v zip >/dev/null || { echo "zip is missing: run scripts/setup"; exit 1; }
mkdir -p "$work/archive/update"
cp "$v2" "$work/archive/update/app.exe"
(cd "$work/archive" && zip -qr ../new.zip update)
windows() { WINEDEBUG=-all winepath -w "$1" 2>/dev/null; }
failed=0
# Lengths of the updater's folder as Windows spells it: each broke the
# relaunch in another way before the updater made the folder current by its
# short form.
for length in 262 300; do
  install="$work/install-$length"
  mkdir -p "$install"
  cp "$v1" "$install/app.exe"
  folder="$work/u$length"
  # Wine shows the host's root as Z:, so the folder is "Z:" and its path long.
  while [ $((${#folder} + 2)) -le "$length" ]; do folder="$folder/$(printf '%050d' 0)"; done
  mkdir -p "$folder"
  cp "$update" "$folder/update.exe"
  # Bounded: where Wine's heap breaks, its debugger waits.
  WINEDEBUG=-all timeout 120 "$wine" "$folder/update.exe" --exeName app.exe --zipFile "$(windows "$work/new.zip")" \
    --dstPath "$(windows "$install")" >"$work/out" 2>&1
  code=$?
  # The application records "<version> <pid> <current folder>" once started.
  tries=0
  while [ ! -s "$install/app.exe.run" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
  read -r version pid current <"$install/app.exe.run" 2>/dev/null || version=none
  [ "$version" = none ] || WINEDEBUG=-all "$wine" taskkill /f /pid "$pid" >/dev/null 2>&1
  current=$(printf '%s' "$current" | tr -d '\r')
  started=$(WINEDEBUG=-all winepath -u "${current%\\}" 2>/dev/null)
  if [ $code -ne 0 ] || [ "$version" != 2 ] || [ "$(realpath "$started" 2>/dev/null)" != "$(realpath "$folder")" ] ||
    ! grep -aq ' 242 Update App Success!' "$folder"/log/log_*.txt 2>/dev/null; then
    printf "updater folder of %s characters: exit %s, version %s started in %s\n" "$length" "$code" "$version" "$started"
    cat "$work/out"
    failed=1
  fi
done
exit $failed
