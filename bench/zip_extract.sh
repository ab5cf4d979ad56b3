#!/usr/bin/env bash
# Extraction benchmark: ZipReader::extractAll (bench/zip_extract) against
# Info-ZIP "unzip -o -q" on generated archives, each run into a fresh
# directory. Prints mean wall times (hyperfine), their ratio, and peak
# resident memory (/usr/bin/time). Linux build only.
#   bench/zip_extract.sh [RUNS]      (default 5 timed runs after one warm-up)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
bin=build/linux/bin

cmake --preset linux >/dev/null
cmake --build --preset linux --target zip_extract zip_bench_archives >/dev/null
for tool in hyperfine unzip /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "zip_extract.sh: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/zip_bench_archives" "$work"

# Peak resident set size of one run, in MiB.
peak_rss() {
  rm -rf "$work/out"
  /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null
  awk '{ printf "%.1f", $1 / 1024 }' "$work/rss"
}

printf '%-16s %8s %9s %12s %9s %7s %12s %9s\n' archive entries MB extractAll_s unzip_s ratio extractAll_MiB unzip_MiB
for name in many_files small_files one_large_entry; do
  zip="$work/$name.zip"
  hyperfine --style none --warmup 1 --runs "$runs" --export-csv "$work/$name.csv" \
    --prepare "rm -rf $work/out" \
    -n extractAll "$bin/zip_extract $zip $work/out" \
    -n unzip "unzip -o -q $zip -d $work/out" >/dev/null
  ours=$(awk -F, '$1 == "extractAll" { print $2 }' "$work/$name.csv")
  theirs=$(awk -F, '$1 == "unzip" { print $2 }' "$work/$name.csv")
  entries=$(unzip -Z1 "$zip" | wc -l)
  megabytes=$(du -m "$zip" | cut -f1)
  printf '%-16s %8s %9s %12.3f %9.3f %7.2f %12s %9s\n' "$name" "$entries" "$megabytes" \
    "$ours" "$theirs" "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { print a / b }')" \
    "$(peak_rss "$bin/zip_extract" "$zip" "$work/out")" \
    "$(peak_rss unzip -o -q "$zip" -d "$work/out")"
done
echo "ratio: extractAll's mean wall time over unzip's (below 1: faster)"
