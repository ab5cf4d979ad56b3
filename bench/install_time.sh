#!/usr/bin/env bash
# Install-step benchmark: runs the updater over an installation that already
# holds every file of the archive, so that every file is replaced, and prints
# the time from the stop (log line 211) to the relaunch (log line 232), the
# median of RUNS runs, with the largest extra disk use seen during a run.
# Linux build only.
#   bench/install_time.sh [RUNS] [UPDATER]   (default 3 runs of build/linux/bin/update)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
updater=$(realpath "${2:-build/linux/bin/update}")
bin=build/linux/bin

cmake --preset linux >/dev/null
cmake --build --preset linux --target update zip_bench_archives >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/zip_bench_archives" "$work"

# Milliseconds of the day at which the log line with number $2 of file $1 was written.
stamp_ms() {
  LC_ALL=C grep -a "UpGrade/update $2 " "$1" | tail -1 |
    LC_ALL=C sed -E 's/^[0-9]{8}-([0-9]+):([0-9]+):([0-9]+)\.([0-9]+).*/\1 \2 \3 \4/' |
    awk '{ print (($1 * 60 + $2) * 60 + $3) * 1000 + $4 }'
}

printf '%-16s %10s %14s\n' archive install_ms extra_disk_MiB
for name in many_files small_files one_large_entry; do
  install="$work/install"
  rm -rf "$install" "$work/updater"
  mkdir -p "$install" "$work/updater"
  cp "$updater" "$work/updater/update"
  run() { "$work/updater/update" -e absent.exe -z "$work/$name.zip" -d "$install" >/dev/null; }
  run
  times=()
  for _ in $(seq "$runs"); do
    rm -rf "$work/updater/log"
    run
    log=$(ls "$work/updater/log"/*)
    times+=($(( $(stamp_ms "$log" 232) - $(stamp_ms "$log" 211) )))
  done
  # One more run, its space sampled while it goes (which slows it, so it is
  # not timed), against the space before it.
  peak=0
  before=$(du -sm "$install" | cut -f1)
  run &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    # Files vanish under du while the run moves them; it then fails, with a total.
    now=$( (du -sm "$install" 2>/dev/null || true) | cut -f1 | head -1)
    if [[ -n "$now" ]] && (( now - before > peak )); then peak=$((now - before)); fi
    sleep 0.05
  done
  wait "$pid"
  median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
  printf '%-16s %10s %14s\n' "$name" "$median" "$peak"
done
