#!/usr/bin/env bash
# Times the bulk run of one league year against the floor of writing the same bytes.
#
# Builds a league-sized sample database (99 bowlers, 5 years ending last year, so the timed year
# is a whole one), runs `lanereport bulk` on its last year into a fresh folder, and reports games,
# pages and bytes per second. Then copies the produced site into another fresh folder: that copy
# writes the same files and bytes and is the floor no page generator can beat. The ratio of the
# two says how much of the run is spent making the pages rather than writing them. Both are
# timed twice: into a fresh folder, and again over the files of the first time.
# It measures and prints; it asserts nothing. Usage: bench/bulk_bench.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
program="$build_dir/bin/lanereport"
[ -x "$program" ] || { echo "bulk_bench: $program is missing; run make build first" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "bulk_bench: sqlite3 is missing; run make bootstrap" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
year=$(( $(date +%Y) - 1 ))

now() { date +%s.%N; }
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }'; }

start=$(now)
"$program" sample-db "$work/league.db" --bowlers 99 --years 5 --end-year "$year" >/dev/null
made=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }')
games=$(sqlite3 "$work/league.db" \
  "select count(*) from Result_Data where Play_Date between '${year}0101' and '${year}1231'")
echo "league sample database: 99 bowlers, 5 years, made in ${made} s; ${games} games in ${year}"

# The workbook needs the default template of the program folder.
start=$(now)
"$program" bulk "$work/league.db" --year "$year" --out "$work/site" >/dev/null
end=$(now)
bulk=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
pages=$(find "$work/site" -type f -name '*.html' | wc -l)
files=$(find "$work/site" -type f | wc -l)
bytes=$(du -sb "$work/site" | cut -f1)

start=$(now)
cp -r "$work/site" "$work/copy"
end=$(now)
copy=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')

# The same run again over the pages it wrote, as a user who publishes the year again does:
# every page is replaced, no folder or file is new.
start=$(now)
"$program" bulk "$work/league.db" --year "$year" --out "$work/site" >/dev/null
end=$(now)
again=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')

# The floor of the second run: the same bytes written over the copy's files.
start=$(now)
cp -r "$work/site/." "$work/copy"
end=$(now)
copy_again=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')

report() {  # label, bulk seconds, copy seconds
  echo "$1: bulk ${2} s, copy ${3} s; ${pages} pages, ${files} files, ${bytes} bytes"
  echo "  bulk: $(rate "$games" "$2") games/s, $(rate "$pages" "$2") pages/s, $(rate "$bytes" "$2") bytes/s"
  echo "  copy: $(rate "$pages" "$3") pages/s, $(rate "$bytes" "$3") bytes/s"
  awk -v a="$2" -v b="$3" 'BEGIN { if (b > 0) printf "  ratio bulk / copy: %.1f\n", a / b }'
}
report "into a fresh folder" "$bulk" "$copy"
report "over the pages of the first run" "$again" "$copy_again"
