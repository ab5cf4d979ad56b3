#!/bin/sh
# Fails unless PROGRAM is a static PIE (no interpreter, no needed library)
# with full RELRO: BIND_NOW and a GNU_RELRO segment.
#   program_hardening.sh READELF PROGRAM
set -eu
headers=$("$1" -hldW "$2")
for wanted in 'Type: *DYN' GNU_RELRO BIND_NOW; do
  echo "$headers" | grep -q "$wanted" || { echo "$2: no $wanted"; exit 1; }
done
if echo "$headers" | grep -qE 'INTERP|NEEDED'; then echo "$2: not static"; exit 1; fi
echo "$2: a static PIE with full RELRO"
