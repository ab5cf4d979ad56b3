#!/usr/bin/env bash
# Whole-update benchmark: the update run (archive present, application not
# running) against what a user would script instead, "unzip -o -q" then
# "cp -a" and "bsdtar -xf" then "cp -a", on three generated installations and
# their update archives (150 MiB in 2,001 files; 20,000 files of 1 to 4 KiB;
# one file of 400 MiB). Every timed run gets a fresh copy of the installation;
# the rows of a round run in turn, starting one later each round, and the
# table shows medians, ratios to the scripted tools, an inflate-only floor
# (bsdtar writing every entry to /dev/null) and the update's peak memory.
# The "durable" columns time the same scripts followed by "sync", so that
# their files are on the disk when they end, as the update's are.
# The Windows build runs under Wine in a column of its own. The "2nd" columns
# install the same archive a second time over what the first run left in its
# work folder, which the clear removes. The "signed" columns run the
# same updaters with a public key beside them, every archive signed with
# minisign (prehashed): their ratio is the signature check's share.
# With BEFORE naming a folder that holds an earlier build's "update" (and
# "update.exe" for Wine), that build runs in rows of its own, unsigned and
# signed, in the same rounds, and a second table sets the two builds side by
# side: a change's effect measured under the same load.
#
#   bench/update_run.sh [ARCHIVE...]
#     ARCHIVE: many_files, small_files, one_large_entry (default: all three)
#   Environment: ROUNDS (5), WINE_ROUNDS (3), WINE_SMALL_ROUNDS (3: each
#   Wine run of 20,000 files takes long), WINE=0 to leave Wine out,
#   BENCH_DIR (a fresh temporary directory, removed at the end) for the
#   generated files; a BENCH_DIR that an earlier run left is used again;
#   BEFORE (none) for an earlier build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
rounds=${ROUNDS:-5}
wine_rounds=${WINE_ROUNDS:-3}
wine_small_rounds=${WINE_SMALL_ROUNDS:-3}
use_wine=${WINE:-1}
before=${BEFORE:-}
archives=("$@")
[ ${#archives[@]} -gt 0 ] || archives=(many_files small_files one_large_entry)

./scripts/setup
export WINEDEBUG=-all
cmake --preset linux >/dev/null
cmake --build --preset linux --target update zip_bench_archives >/dev/null
if [ "$use_wine" = 1 ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target update >/dev/null
fi

work=${BENCH_DIR:-$(mktemp -d)}
[ -n "${BENCH_DIR:-}" ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/native" "$work/windows" "$work/corpus"
# The updater logs beside itself: copies keep the build tree clean.
cp build/linux/bin/update "$work/native/"
[ "$use_wine" = 1 ] && cp build/windows/bin/update.exe "$work/windows/"
# The signed rows' updaters, each beside the public key of the signed archives.
mkdir -p "$work/keys" "$work/native-signed" "$work/windows-signed"
[ -f "$work/keys/key.pub" ] || minisign -G -p "$work/keys/key.pub" -s "$work/keys/key.sec" -W >/dev/null
cp build/linux/bin/update "$work/keys/key.pub" "$work/native-signed/"
mv "$work/native-signed/key.pub" "$work/native-signed/update-key.pub"
if [ "$use_wine" = 1 ]; then
  cp build/windows/bin/update.exe "$work/windows-signed/"
  cp "$work/keys/key.pub" "$work/windows-signed/update-key.pub"
fi
# The earlier build's updaters, unsigned and signed, in folders of their own.
if [ -n "$before" ]; then
  for side in native windows; do
    program=update
    [ "$side" = windows ] && program=update.exe
    [ "$side" = windows ] && [ "$use_wine" != 1 ] && continue
    mkdir -p "$work/$side-before" "$work/$side-before-signed"
    cp "$before/$program" "$work/$side-before/"
    cp "$before/$program" "$work/$side-before-signed/"
    cp "$work/keys/key.pub" "$work/$side-before-signed/update-key.pub"
  done
fi

# A BENCH_DIR of an earlier run keeps its archives and installations.
for name in "${archives[@]}"; do
  [ -d "$work/corpus/$name/installation" ] && continue
  if [ ! -f "$work/corpus/$name.zip" ]; then
    echo "generating the archives in $work/corpus"
    "$root/build/linux/bin/zip_bench_archives" "$work/corpus"
  fi
  pristine="$work/corpus/$name"
  rm -rf "$pristine" && mkdir -p "$pristine"
  unzip -q "$work/corpus/$name.zip" -d "$pristine/unpacked"
  mv "$pristine/unpacked/update" "$pristine/installation"
  rm -rf "$pristine/unpacked"
done
for name in "${archives[@]}"; do
  minisign -S -s "$work/keys/key.sec" -m "$work/corpus/$name.zip" >/dev/null
done

run_dir="$work/run"
# A fresh installation, its pages written out, before each timed run.
prepare() {
  rm -rf "$run_dir"
  mkdir -p "$run_dir"
  cp -a "$work/corpus/$1/installation" "$run_dir/inst"
  sync
}

# Wine sees this machine's root as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# run_native FOLDER ZIP and run_wine FOLDER ZIP: the updater in $work/FOLDER.
run_native() { "$work/$1/update" --exeName app.bin --zipFile "$2" --dstPath "$run_dir/inst" >/dev/null; }
run_wine() {
  wine "$work/$1/update.exe" --exeName app.exe --zipFile "$(windows_path "$2")" \
    --dstPath "$(windows_path "$run_dir/inst")" >/dev/null
}
update_native() { run_native native "$1"; }
update_wine() { run_wine windows "$1"; }
update_signed() { run_native native-signed "$1"; }
update_wine_signed() { run_wine windows-signed "$1"; }
update_before() { run_native native-before "$1"; }
update_signed_before() { run_native native-before-signed "$1"; }
update_wine_before() { run_wine windows-before "$1"; }
update_wine_signed_before() { run_wine windows-before-signed "$1"; }
# Timed after an untimed first run of the same update (see time_row).
update_native_again() { update_native "$1"; }
update_wine_again() { update_wine "$1"; }
unzip_cp() { unzip -o -q "$1" -d "$run_dir/inst/temp" && cp -a "$run_dir/inst/temp/update/." "$run_dir/inst/"; }
bsdtar_cp() {
  mkdir -p "$run_dir/inst/temp" && bsdtar -xf "$1" -C "$run_dir/inst/temp" &&
    cp -a "$run_dir/inst/temp/update/." "$run_dir/inst/"
}
unzip_cp_sync() { unzip_cp "$1" && sync; }
bsdtar_cp_sync() { bsdtar_cp "$1" && sync; }
inflate_floor() { bsdtar -xOf "$1" >/dev/null; }
export -f windows_path run_native run_wine update_native update_wine update_signed update_wine_signed \
  update_before update_signed_before update_wine_before update_wine_signed_before update_native_again \
  update_wine_again unzip_cp bsdtar_cp unzip_cp_sync bsdtar_cp_sync inflate_floor
export work run_dir

# Times one row: appends "seconds peak_KiB" to $work/times/<archive>.<row>;
# the peak is the largest of the row's processes.
time_row() {
  local name=$1 row=$2
  prepare "$name"
  if [[ $row == *_again ]]; then
    "${row%_again}" "$work/corpus/$name.zip" || { echo "update_run.sh: $row failed on $name" >&2; exit 1; }
    sync
  fi
  local start=$EPOCHREALTIME
  /usr/bin/time -f %M -o "$work/rss" bash -c '"$0" "$1"' "$row" "$work/corpus/$name.zip" ||
    { echo "update_run.sh: $row failed on $name" >&2; exit 1; }
  local end=$EPOCHREALTIME
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }') $(tail -n 1 "$work/rss")" \
    >>"$work/times/$name.$row"
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
median_of() { cut -d' ' -f"$3" "$work/times/$1.$2" | median; }

rm -rf "$work/times" && mkdir -p "$work/times"
if [ "$use_wine" = 1 ]; then
  # The first Wine start of a session is slow: keep it out of the figures.
  prepare "${archives[0]}"
  update_wine "$work/corpus/${archives[0]}.zip" || true
fi
for name in "${archives[@]}"; do
  rows=(update_native update_native_again update_signed unzip_cp bsdtar_cp unzip_cp_sync bsdtar_cp_sync inflate_floor)
  wine_rows=(update_wine update_wine_again update_wine_signed)
  if [ -n "$before" ]; then
    rows+=(update_before update_signed_before)
    wine_rows+=(update_wine_before update_wine_signed_before)
  fi
  wine_wanted=0
  if [ "$use_wine" = 1 ]; then
    wine_wanted=$wine_rounds
    [ "$name" = small_files ] && wine_wanted=$wine_small_rounds
  fi
  for ((round = 0; round < rounds || round < wine_wanted; round++)); do
    this_round=()
    [ "$round" -lt "$rounds" ] && this_round=("${rows[@]}")
    [ "$round" -lt "$wine_wanted" ] && this_round+=("${wine_rows[@]}")
    count=${#this_round[@]}
    for ((i = 0; i < count; i++)); do
      row=${this_round[$(((i + round) % count))]}
      echo "  $name round $((round + 1)): $row"
      time_row "$name" "$row"
    done
  done
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '\n%-16s %8s %8s %10s %10s %12s %10s %7s %10s %7s %10s %7s %10s %7s %8s %9s %10s %12s %13s\n' archive files \
  MiB update_s 2nd_s signed_s unzip+cp ratio bsdtar+cp ratio durable_unzip ratio durable_bsdtar ratio floor_s \
  peak_MiB wine_s wine_2nd_s wine_signed_s
for name in "${archives[@]}"; do
  ours=$(median_of "$name" update_native 1)
  again=$(median_of "$name" update_native_again 1)
  unzip_s=$(median_of "$name" unzip_cp 1)
  bsdtar_s=$(median_of "$name" bsdtar_cp 1)
  unzip_sync_s=$(median_of "$name" unzip_cp_sync 1)
  bsdtar_sync_s=$(median_of "$name" bsdtar_cp_sync 1)
  wine_cell=-
  wine_again_cell=-
  wine_signed_cell=-
  signed_s=$(median_of "$name" update_signed 1)
  if [ -s "$work/times/$name.update_wine" ]; then
    wine_s=$(median_of "$name" update_wine 1)
    wine_cell="$wine_s ($(ratio "$wine_s" "$unzip_s")x)"
    wine_again_s=$(median_of "$name" update_wine_again 1)
    wine_again_cell="$wine_again_s ($(ratio "$wine_again_s" "$wine_s")x)"
    wine_signed_s=$(median_of "$name" update_wine_signed 1)
    wine_signed_cell="$wine_signed_s ($(ratio "$wine_signed_s" "$wine_s")x)"
  fi
  printf '%-16s %8s %8s %10s %10s %12s %10s %7s %10s %7s %10s %7s %10s %7s %8s %9s %10s %12s %13s\n' "$name" \
    "$(find "$work/corpus/$name/installation" -type f | wc -l)" \
    "$(du -sm "$work/corpus/$name/installation" | cut -f1)" \
    "$ours" "$again ($(ratio "$again" "$ours")x)" "$signed_s ($(ratio "$signed_s" "$ours")x)" "$unzip_s" "$(ratio "$ours" "$unzip_s")" "$bsdtar_s" "$(ratio "$ours" "$bsdtar_s")" \
    "$unzip_sync_s" "$(ratio "$ours" "$unzip_sync_s")" "$bsdtar_sync_s" "$(ratio "$ours" "$bsdtar_sync_s")" \
    "$(median_of "$name" inflate_floor 1)" \
    "$(awk '{ printf "%.1f", $1 / 1024 }' <<<"$(median_of "$name" update_native 2)")" "$wine_cell" "$wine_again_cell" \
    "$wine_signed_cell"
done
echo "medians of $rounds rounds (Wine: $wine_rounds, $wine_small_rounds on small_files); ratio: update's time over the scripted tools' (below 1: faster); 2nd, signed: over the first update's"
if [ -n "$before" ]; then
  # cell ARCHIVE ROW: the row's median, "-" when it did not run.
  cell() { if [ -s "$work/times/$1.$2" ]; then median_of "$1" "$2" 1; else echo -; fi; }
  # pair ARCHIVE BEFORE_ROW AFTER_ROW: both medians and after over before.
  pair() {
    local was now
    was=$(cell "$1" "$2")
    now=$(cell "$1" "$3")
    if [ "$was" = - ] || [ "$now" = - ]; then echo "$was $now -"; else echo "$was $now $(ratio "$now" "$was")x"; fi
  }
  # share ARCHIVE UNSIGNED_ROW SIGNED_ROW: the signed row's median over the unsigned one's.
  share() {
    local unsigned signed
    unsigned=$(cell "$1" "$2")
    signed=$(cell "$1" "$3")
    if [ "$unsigned" = - ] || [ "$signed" = - ]; then echo -; else echo "$(ratio "$signed" "$unsigned")x"; fi
  }
  printf '\n%-16s %24s %24s %24s %24s %15s %15s\n' "before after" update signed wine wine_signed \
    signed/update wine_signed/wine
  for name in "${archives[@]}"; do
    printf '%-16s %24s %24s %24s %24s %15s %15s\n' "$name" "$(pair "$name" update_before update_native)" \
      "$(pair "$name" update_signed_before update_signed)" "$(pair "$name" update_wine_before update_wine)" \
      "$(pair "$name" update_wine_signed_before update_wine_signed)" \
      "$(share "$name" update_before update_signed_before) $(share "$name" update_native update_signed)" \
      "$(share "$name" update_wine_before update_wine_signed_before) $(share "$name" update_wine update_wine_signed)"
  done
  echo "each cell: the earlier build's median, this build's, and this over the earlier; the last two: the earlier build's, this build's"
fi
echo "load while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
