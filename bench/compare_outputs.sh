#!/usr/bin/env bash
# Checks that two builds publish the same files from the same databases: the bulk run of the
# league sample's last year, the workbook with its pages, a bowler's score and monthly pages of
# the year, the profile pages, and the demo. Every file must be byte for byte the same, except
# that workbooks (.xlsx) are compared part by part, since the archive stamps entries with the
# time of saving (bench/tree_digest.sh). The workbook without a year, the demo and the profiles'
# ages depend on today's date: both builds must be run the same day, as this script does.
# Usage: bench/compare_outputs.sh REFERENCE_BUILD_DIR BUILD_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "使い方: bench/compare_outputs.sh 基準のビルド 比べるビルド" >&2; exit 2; }
reference=$(realpath "$1/bin/lanereport")
candidate=$(realpath "$2/bin/lanereport")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
year=2025

"$reference" sample-db "$work/league.db" --bowlers 99 --years 5 --end-year "$year" --seed 3 \
  >/dev/null
bowler=$(sqlite3 "$work/league.db" "select Name from Bowler_Data order by Number limit 1")

publish() {  # program, output folder
  local program=$1 out=$2
  # The database's name names the year folders: both runs use a copy of the same name.
  local db="$out.data/league.db"
  mkdir -p "$out" "$out.data"
  cp "$work/league.db" "$db"
  "$program" bulk "$db" --year "$year" --out "$out/bulk" >/dev/null
  "$program" workbook "$db" --html --out "$out/workbook" >/dev/null
  "$program" score-pages "$db" --bowler "$bowler" --from "$year/01/01" --to "$year/12/31" \
    --out "$out/score" >/dev/null
  "$program" monthly-pages "$db" --bowler "$bowler" --from "$year/01" --to "$year/12" \
    --out "$out/monthly" >/dev/null
  "$program" profile-pages "$db" --dir "$out/profiles" >/dev/null
  (cd "$out" && "$program" demo demo >/dev/null)
  find "$out" -name '*.db' -delete
}
publish "$reference" "$work/a"
publish "$candidate" "$work/b"

# Every file byte for byte, workbooks part by part: the digests of the two trees must be the same.
digest="$(dirname "$0")/tree_digest.sh"
"$digest" "$work/a" >"$work/a.sha256"
"$digest" "$work/b" >"$work/b.sha256"
if diff -u --label 基準 --label 比較 "$work/a.sha256" "$work/b.sha256" >"$work/diff.txt"; then
  echo "同じ出力です：$(wc -l <"$work/a.sha256") ファイル（ブックは部品ごと）"
else
  grep '^[-+][^-+]' "$work/diff.txt" | head -40
  echo "出力が違います（- 基準、+ 比較）：$(grep -c '^[-+][^-+]' "$work/diff.txt") 行" >&2
  exit 1
fi
