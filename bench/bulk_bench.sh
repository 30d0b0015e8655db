#!/usr/bin/env bash
# Times the bulk run of one league year against the floor of writing the same bytes.
#
# Builds a league-sized sample database once (99 bowlers, 2021 to 2025, seed 3) and times
# `lanereport bulk` on 2025. The floor is `cp -r` of the finished site: it writes the same files
# and bytes, and no page generator can beat it; the ratio of the two says how much of the run is
# spent making the pages rather than writing them. Measured, each as the median of interleaved
# pairs of a run and its copy:
#   - the bulk run into a new empty folder, against a copy of the site into another, against a
#     copy followed by a sync (the run flushes what it wrote before it ends; cp -r does not), and
#     against a copy written whole the program's way and flushed (bench/copy_whole.cpp);
#   - the bulk run again over a site it wrote (every page replaced), against a copy of the site
#     over a copy of it (`cp -r site/. copy`);
#   - the workbook with its pages (`workbook --html`), and one bowler's score pages of 2025,
#     each against a copy of what it wrote.
# Then the bulk time of 2025 on a 10-year and a 1-year sample (the year's work should not grow
# with the years around it), and the peak memory of one bulk run of the league year.
#
# Creating files soon after many deletions is slower on ext4 for whoever comes first (the
# allocator steps over the freed inodes), so the two sides of a pair take turns going first,
# nothing is deleted before the end, and every timed command starts after a `sync` (not timed).
# The slowdown lasts minutes and falls on both sides alike, which brings the ratios towards 1:
# for figures of the program itself, start on a file system where nothing was deleted in bulk
# in the last five minutes (such as the end of the previous run of this script).
#
# It measures and prints; it asserts nothing. The last two lines are the fresh-run and re-run
# ratios. Pairs per measurement: BULK_BENCH_PAIRS (default 5).
# Usage: bench/bulk_bench.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
program="$build_dir/bin/lanereport"
[ -x "$program" ] || { echo "bulk_bench: $program がありません（make build）" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "bulk_bench: sqlite3 がありません（make bootstrap）" >&2; exit 1; }
program=$(realpath "$program")
copier="$build_dir/bin/copy_whole"
[ -x "$copier" ] || { echo "bulk_bench: $copier がありません（make build）" >&2; exit 1; }
copier=$(realpath "$copier")
pairs=${BULK_BENCH_PAIRS:-5}
[[ $pairs =~ ^[1-9][0-9]*$ ]] || { echo "bulk_bench: BULK_BENCH_PAIRS は正の整数です：$pairs" >&2; exit 2; }
year=2025

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Seconds, with microseconds, of running the command (its output dropped), after a sync.
# The result goes to the variable named by the first argument.
timed() {
  local -n seconds=$1
  shift
  sync
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local end=$EPOCHREALTIME
  seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
  printf "%.3f", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f", a / b; else printf "-" }'; }
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }'; }
copy_into() { cp -r "$1/." "$2"; }  # source tree, folder (existing)

# Interleaved pairs: PAIRS times one run of the first command and one of the second, the first
# going first in odd pairs, the second in even ones. Each command is called with the pair's
# number as its last argument and picks its folders from it. Medians go to the variables named
# by the first two arguments.
interleaved() {
  local -n first_median=$1 second_median=$2
  local first=$3 second=$4 i t
  local first_times=() second_times=()
  for ((i = 1; i <= pairs; i++)); do
    if ((i % 2)); then
      timed t "$first" "$i"; first_times+=("$t")
      timed t "$second" "$i"; second_times+=("$t")
    else
      timed t "$second" "$i"; second_times+=("$t")
      timed t "$first" "$i"; first_times+=("$t")
    fi
  done
  first_median=$(median "${first_times[@]}")
  second_median=$(median "${second_times[@]}")
}

db="$work/data/league.db"
mkdir -p "$work/data"
timed made "$program" sample-db "$db" --bowlers 99 --years 5 --end-year "$year" --seed 3
games=$(sqlite3 "$db" \
  "select count(*) from Result_Data where Play_Date between '${year}0101' and '${year}1231'")
bowler=$(sqlite3 "$db" "select Name from Bowler_Data order by Number limit 1")
printf 'league sample database: 99 bowlers, 5 years, made in %.2f s; %s games in %s\n' \
  "$made" "$games" "$year"
echo "pairs per measurement: $pairs"

# The finished trees the copies copy: one run of each command, untimed (it also warms the
# caches of the program and the database).
"$program" bulk "$db" --year "$year" --out "$work/site" >/dev/null
"$program" workbook "$db" --html --out "$work/workbook" >/dev/null
"$program" score-pages "$db" --bowler "$bowler" --from "$year/01/01" --to "$year/12/31" \
  --out "$work/score" >/dev/null
pages=$(find "$work/site" -type f -name '*.html' | wc -l)
files=$(find "$work/site" -type f | wc -l)
bytes=$(du -sb "$work/site" | cut -f1)

# Into new empty folders.
bulk_fresh() { mkdir -p "$work/fresh/bulk$1"; "$program" bulk "$db" --year "$year" --out "$work/fresh/bulk$1"; }
copy_fresh() { mkdir -p "$work/fresh/copy$1"; copy_into "$work/site" "$work/fresh/copy$1"; }
interleaved bulk_median copy_median bulk_fresh copy_fresh
fresh_ratio=$(ratio "$bulk_median" "$copy_median")
echo "into a new folder: bulk ${bulk_median} s, copy ${copy_median} s; ${pages} pages, ${files} files, ${bytes} bytes"
echo "  bulk: $(rate "$games" "$bulk_median") games/s, $(rate "$pages" "$bulk_median") pages/s, $(rate "$bytes" "$bulk_median") bytes/s"
echo "  copy: $(rate "$pages" "$copy_median") pages/s, $(rate "$bytes" "$copy_median") bytes/s"

# The run ends by flushing what it wrote to the disk (one syncfs), which `cp -r` does not: the
# same copy followed by a `sync`, timed together, is the floor of writing the bytes and keeping
# them. Its difference from the copy is what the flush costs; the run pays about the same.
bulk_flushed() { mkdir -p "$work/flushed/bulk$1"; "$program" bulk "$db" --year "$year" --out "$work/flushed/bulk$1"; }
copy_flushed() { mkdir -p "$work/flushed/copy$1"; copy_into "$work/site" "$work/flushed/copy$1"; sync; }
interleaved flushed_bulk_median flushed_copy_median bulk_flushed copy_flushed
echo "against a copy that flushes: bulk ${flushed_bulk_median} s, copy and sync ${flushed_copy_median} s;" \
  "ratio $(ratio "$flushed_bulk_median" "$flushed_copy_median")"

# The program writes every file whole (a temporary file, then a rename), which `cp -r` does not
# either: copy_whole copies the site through the program's own file writing and flushes it.
# That is the floor of writing the bytes under the program's rules and keeping them.
bulk_whole() { mkdir -p "$work/whole/bulk$1"; "$program" bulk "$db" --year "$year" --out "$work/whole/bulk$1"; }
copy_whole() { "$copier" "$work/site" "$work/whole/copy$1"; }
interleaved whole_bulk_median whole_copy_median bulk_whole copy_whole
echo "against a copy written whole and flushed: bulk ${whole_bulk_median} s, copy ${whole_copy_median} s;" \
  "ratio $(ratio "$whole_bulk_median" "$whole_copy_median")"

# Over the trees of the fresh runs, as a user who publishes the year again does: every page is
# replaced, no folder or file is new.
bulk_again() { "$program" bulk "$db" --year "$year" --out "$work/fresh/bulk$1"; }
copy_again() { copy_into "$work/site" "$work/fresh/copy$1"; }
interleaved again_median copy_again_median bulk_again copy_again
rerun_ratio=$(ratio "$again_median" "$copy_again_median")
echo "over a written site: bulk ${again_median} s, copy ${copy_again_median} s"
echo "  bulk: $(rate "$games" "$again_median") games/s, $(rate "$pages" "$again_median") pages/s, $(rate "$bytes" "$again_median") bytes/s"

# The workbook with its pages, and one bowler's score pages of the year.
workbook_run() { mkdir -p "$work/wb/run$1"; "$program" workbook "$db" --html --out "$work/wb/run$1"; }
workbook_copy() { mkdir -p "$work/wb/copy$1"; copy_into "$work/workbook" "$work/wb/copy$1"; }
interleaved workbook_median workbook_copy_median workbook_run workbook_copy
echo "workbook --html: workbook ${workbook_median} s, copy ${workbook_copy_median} s;" \
  "$(find "$work/workbook" -type f | wc -l) files, $(du -sb "$work/workbook" | cut -f1) bytes"
score_run() {
  mkdir -p "$work/sp/run$1"
  "$program" score-pages "$db" --bowler "$bowler" --from "$year/01/01" --to "$year/12/31" \
    --out "$work/sp/run$1"
}
score_copy() { mkdir -p "$work/sp/copy$1"; copy_into "$work/score" "$work/sp/copy$1"; }
interleaved score_median score_copy_median score_run score_copy
echo "score-pages of ${bowler}, ${year}: score-pages ${score_median} s, copy ${score_copy_median} s;" \
  "$(find "$work/score" -type f | wc -l) files, $(du -sb "$work/score" | cut -f1) bytes"

# The same year in a database of 10 years and of 1: three fresh runs each.
size_median() {  # years
  local years=$1 i t times=()
  local sized="$work/data/$years/league.db"
  mkdir -p "$work/data/$years"
  "$program" sample-db "$sized" --bowlers 99 --years "$years" --end-year "$year" --seed 3 >/dev/null
  for i in 1 2 3; do
    mkdir -p "$work/size/$years-$i"
    timed t "$program" bulk "$sized" --year "$year" --out "$work/size/$years-$i"
    times+=("$t")
  done
  median "${times[@]}"
}
ten=$(size_median 10)
one=$(size_median 1)
echo "bulk of ${year} in a 10-year database ${ten} s, in a 1-year one ${one} s;" \
  "ratio 10 years / 1 year: $(ratio "$ten" "$one")"

# Peak memory of one fresh bulk run: GNU time when it is there, else the high-water mark the
# kernel keeps for the process, read until it ends (that misses at most the last few ms).
mkdir -p "$work/memory"
if [ -x /usr/bin/time ]; then
  peak=$(/usr/bin/time -f %M -o "$work/memory.txt" \
    "$program" bulk "$db" --year "$year" --out "$work/memory" >/dev/null && cat "$work/memory.txt")
  how="GNU time"
else
  "$program" bulk "$db" --year "$year" --out "$work/memory" >/dev/null &
  pid=$!
  peak=0
  while kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null) && [ -n "$kb" ]; do
    peak=$kb
    sleep 0.01
  done
  wait "$pid"
  how="VmHWM"
fi
echo "peak memory of one bulk run: $((peak / 1024)) MiB (${peak} kB, ${how})"

echo "workbook ratio workbook / copy: $(ratio "$workbook_median" "$workbook_copy_median")"
echo "score-pages ratio score-pages / copy: $(ratio "$score_median" "$score_copy_median")"
echo "fresh-run ratio bulk / copy: ${fresh_ratio}"
echo "re-run ratio bulk / copy: ${rerun_ratio}"
