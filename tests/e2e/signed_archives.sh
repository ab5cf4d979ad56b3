#!/bin/sh
# Keys and archives signed by the vendor's tool (minisign), made natively for
# the signature tests of both lanes: `make DIR` or `remove DIR`. Every archive
# holds update/readme.txt with its own text.
set -eu
verb=$1 dir=$2
rm -rf "$dir"
[ "$verb" = remove ] && exit 0
command -v minisign >/dev/null || { echo "minisign is missing: run scripts/setup" >&2; exit 1; }
mkdir -p "$dir"
cd "$dir"
minisign -G -p key.pub -s key.sec -W >/dev/null
minisign -G -p other.pub -s other.sec -W >/dev/null

# NAME TEXT SECRET [minisign's options]: the archive, signed unless SECRET is -.
archive() {
  name=$1 text=$2 secret=$3
  shift 3
  rm -rf tree
  mkdir -p tree/update
  printf '%s\n' "$text" >tree/update/readme.txt
  (cd tree && zip -qrX "../$name" update)
  [ "$secret" = - ] || minisign -S -s "$secret" -m "$name" "$@" >/dev/null
}
tab=$(printf '\t')
archive unsigned.zip unsigned -
archive planted.zip planted -
archive foreign.zip foreign other.sec
archive newer.zip newer key.sec -t "timestamp:1700000000${tab}file:newer.zip${tab}hashed"
archive older.zip older key.sec -t "timestamp:1600000000${tab}file:older.zip${tab}hashed"
archive untimed.zip untimed key.sec -t "file:untimed.zip"
# Signed now, the legacy one first: neither is older than the one before.
archive legacy.zip legacy key.sec -l
archive prehashed.zip prehashed key.sec
rm -rf tree
