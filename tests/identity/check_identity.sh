#!/usr/bin/env bash
# The output test: publishes the small sample with the given program (publish_small.sh) in a
# temporary folder and compares the digest of what it wrote with the stored one. Fails, showing
# the lines that differ, when one file (or one workbook part) is missing, extra or not byte for
# byte the same. tests/data/README says how the stored digest is remade when a change of the
# pages is meant.
# Usage: tests/identity/check_identity.sh LANEREPORT_BINARY EXPECTED_DIGEST
set -euo pipefail
[ $# -eq 2 ] || { echo "使い方: tests/identity/check_identity.sh lanereportのパス 基準のダイジェスト" >&2; exit 2; }
program=$1
expected=$2
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$expected" ] || { echo "check_identity: 基準のダイジェストがありません：$expected" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$here/publish_small.sh" "$program" "$work/publish" >"$work/actual.sha256"
if diff -u --label 基準 --label 今回 "$expected" "$work/actual.sha256" >"$work/diff.txt"; then
  echo "出力は基準と同じです：$(wc -l <"$expected") 行"
else
  cat "$work/diff.txt"
  echo "出力が基準と違います（- 基準、+ 今回）：$(grep -c '^[-+][^-+]' "$work/diff.txt") 行" >&2
  exit 1
fi
