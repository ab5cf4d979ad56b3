#!/bin/sh
# Makes the release packages into OUT with CPack, as scripts/package does,
# checks their sums and contents, and unpacks both into OUT/unpacked, which
# holds nothing else: a vendor's view of them.
#   unpack_packages.sh CPACK CONFIG OBJDUMP OUT PROGRAM FILE...
# FILE... are the files the program's package must hold besides PROGRAM.
set -eu
cpack=$1 config=$2 objdump=$3 out=$4 program=$5
shift 5
rm -rf "$out"
mkdir -p "$out/unpacked"
"$cpack" --config "$config" -B "$out" >"$out/cpack.log"
cd "$out"
sha256sum -c ./*.sha256

fail() { echo "package: $*"; exit 1; }
archives=$(ls | grep -E '^update-.*\.(zip|tar\.gz)$')
[ "$(echo "$archives" | wc -l)" -eq 2 ] || fail "expected a program and a debug archive, got: $archives"
for archive in $archives; do
  case $archive in
    *.zip) unzip -q -o "$archive" -d unpacked ;;
    *) tar -xzf "$archive" -C unpacked ;;
  esac
done

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$config")
folder=unpacked/$(ls unpacked)
[ "$(ls unpacked | wc -l)" -eq 1 ] || fail "the archives unpack into more than one folder"
expected=$(printf '%s\n' "$program" "$program.debug" "$@" | sort)
actual=$(cd "$folder" && ls -A | sort)
[ "$expected" = "$actual" ] || fail "contents differ; expected: $expected; unpacked: $actual"
cr=$(printf '\r')
held=$(tr -d "$cr" <"$folder/update-VERSION.txt")
[ "$held" = "$version" ] || fail "update-VERSION.txt holds $held, not $version"

# The texts end their lines as the system's own do: CR LF on Windows.
for text in "$@"; do
  ending_in_cr=$(grep -c "$cr\$" "$folder/$text" || true)
  lines=$(wc -l <"$folder/$text")
  case $program in
    *.exe) [ "$ending_in_cr" -eq "$lines" ] || fail "$text: $ending_in_cr of $lines lines end in CR LF" ;;
    *) [ "$ending_in_cr" -eq 0 ] || fail "$text: $ending_in_cr lines end in CR LF" ;;
  esac
done

# Stripped, naming its debug information, which holds the DWARF.
sections=$("$objdump" -h "$folder/$program")
echo "$sections" | grep -q '\.gnu_debuglink' || fail "$program does not name its debug information"
if echo "$sections" | grep -q '\.debug_info'; then fail "$program is not stripped"; fi
"$objdump" -h "$folder/$program.debug" | grep -q '\.debug_info' || fail "$program.debug holds no DWARF"
echo "package: $folder holds $(echo "$actual" | tr '\n' ' ')"
