#!/bin/sh
# Fails when PROGRAM lacks the hardening it ships with. Linux: a static PIE
# (no interpreter, no needed library) with full RELRO, that is BIND_NOW and a
# GNU_RELRO segment. Windows: ASLR and DEP.
#   program_hardening.sh linux READELF PROGRAM
#   program_hardening.sh windows OBJDUMP PROGRAM
set -eu
system=$1 tool=$2 program=$3
fail() { echo "$program: $*"; exit 1; }
case $system in
  linux)
    headers=$("$tool" -hldW "$program")
    echo "$headers" | grep -q 'Type: *DYN' || fail "not position-independent"
    echo "$headers" | grep -q 'GNU_RELRO' || fail "no GNU_RELRO segment"
    echo "$headers" | grep -q 'BIND_NOW' || fail "no BIND_NOW"
    if echo "$headers" | grep -qE 'INTERP|NEEDED'; then fail "not static: it names an interpreter or a library"; fi
    ;;
  windows)
    headers=$("$tool" -p "$program")
    for flag in DYNAMIC_BASE NX_COMPAT; do
      echo "$headers" | grep -q "$flag" || fail "no $flag"
    done
    ;;
esac
echo "$program: hardened"
