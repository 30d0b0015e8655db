#!/usr/bin/env bash
# Publishes a small sample database the same way every time and prints the digest of all it
# wrote (bench/tree_digest.sh): the bulk run of 2025, a bowler's score and monthly pages of 2025,
# and the profile pages. The output test compares this digest with tests/data/identity_small.sha256,
# so that a change of the page or workbook code that alters one byte of what is published shows.
#
# Only outputs that do not depend on today's date take part. Left out: `workbook` without a year
# (it covers today's year and shows today's date) and `demo` (its sample ends today). The profile
# pages show each bowler's age as of today, so they are made from a copy of the sample whose
# birth dates are blanked. The sample is made under fixed file names, since a database's name
# names its year folders (and "ZepaMasters" is the league, whose monthly and profile pages differ).
# Usage: tests/identity/publish_small.sh LANEREPORT_BINARY WORK_DIR   (WORK_DIR is made; must
# not exist or be empty)
set -euo pipefail
[ $# -eq 2 ] || { echo "使い方: tests/identity/publish_small.sh lanereportのパス 作業フォルダ" >&2; exit 2; }
program=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")" && pwd)
digest="$here/../../bench/tree_digest.sh"
[ -x "$program" ] || { echo "publish_small: プログラムがありません：$program" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "publish_small: sqlite3 がありません（make bootstrap）" >&2; exit 1; }
# The program reads its template and images from its own folder, whatever the caller's setting.
unset LANEREPORT_HOME
mkdir -p "$work"
[ -z "$(ls -A "$work")" ] || { echo "publish_small: 作業フォルダが空ではありません：$work" >&2; exit 1; }
work=$(realpath "$work")
data="$work/data"
out="$work/out"
mkdir -p "$data/small" "$data/league" "$data/profiles" "$out"

# The program's messages go to a log, shown only when a command fails.
run() {
  "$program" "$@" >"$work/log.txt" 2>&1 || {
    cat "$work/log.txt" >&2
    echo "publish_small: 失敗しました：lanereport $*" >&2
    exit 1
  }
}

db="$data/small/small.db"
run sample-db "$db" --bowlers 12 --years 2 --end-year 2025 --seed 5
bowler=$(sqlite3 "$db" "select Name from Bowler_Data order by Number limit 1")
[ -n "$bowler" ] || { echo "publish_small: ボウラーがいません：$db" >&2; exit 1; }

run bulk "$db" --year 2025 --out "$out/bulk"
run score-pages "$db" --bowler "$bowler" --from 2025/01/01 --to 2025/12/31 --out "$out/score"
run monthly-pages "$db" --bowler "$bowler" --from 2025/01 --to 2025/12 --out "$out/monthly"

# The same games as the league's database.
league="$data/league/ZepaMasters.db"
cp "$db" "$league"
run monthly-pages "$league" --bowler "$bowler" --from 2025/01 --to 2025/12 \
  --out "$out/league-monthly"

# Profiles without ages: a bowler without a birth date is shown without one.
for source in "$db" "$league"; do
  copy="$data/profiles/$(basename "$source")"
  cp "$source" "$copy"
  sqlite3 "$copy" "update Bowler_Data set Birth = ''"
  folder="$out/profiles-$(basename "$source" .db)"
  mkdir -p "$folder"
  run profile-pages "$copy" --dir "$folder"
done

"$digest" "$out"
