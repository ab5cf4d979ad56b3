#!/bin/sh
# Fails when PROGRAM needs a shared library that is not one of ALLOWED: the
# updater a vendor copies beside an application must start on a bare system.
# Without ALLOWED, PROGRAM must need none (a static program).
#   needed_libraries.sh OBJDUMP PROGRAM ALLOWED...
set -eu
objdump=$1 program=$2
shift 2
needed=$("$objdump" -p "$program" | sed -nE 's/^[[:space:]]*(NEEDED|DLL Name:)[[:space:]]+//p')
[ -n "$needed" ] || [ $# -gt 0 ] || { echo "needs no library: $program"; exit 0; }
if [ -z "$needed" ]; then
  echo "no needed libraries read from $program"
  exit 1
fi
status=0
for library in $needed; do
  case " $* " in
    *" $library "*) echo "needed and allowed: $library" ;;
    *) echo "needed but not allowed: $library"; status=1 ;;
  esac
done
exit $status
