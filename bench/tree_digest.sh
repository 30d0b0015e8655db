#!/usr/bin/env bash
# Prints the digest of a published folder: one line per file, "SHA256  RELATIVE/PATH", sorted by
# path (byte order). A workbook (.xlsx) is not hashed whole, since the archive stamps every entry
# with the time of saving: it is unpacked and each of its parts gets its own line,
# "SHA256  RELATIVE/PATH/book.xlsx!part/path". Two folders hold the same bytes (workbooks part by
# part) exactly when their digests are the same text.
# Usage: bench/tree_digest.sh DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "使い方: bench/tree_digest.sh フォルダ" >&2; exit 2; }
[ -d "$1" ] || { echo "tree_digest: フォルダがありません：$1" >&2; exit 2; }
command -v unzip >/dev/null || { echo "tree_digest: unzip がありません（make bootstrap）" >&2; exit 1; }
root=$1
export LC_ALL=C

parts=$(mktemp -d)
trap 'rm -rf "$parts"' EXIT

# Lines are made as "PATH<TAB>SHA256", sorted on the path, then turned around.
{
  # Every file but the workbooks, hashed in batches. The names are the program's own, without
  # tabs, new lines or backslashes, so sha256sum prints them as they are (it marks the others
  # with a leading backslash: those stop the digest rather than be misread).
  (cd "$root" && find . -type f ! -name '*.xlsx' -print0 | xargs -0 -r sha256sum --) |
    while IFS= read -r line; do
      [[ $line != \\* ]] || { echo "tree_digest: 扱えないファイル名です：$line" >&2; exit 1; }
      printf '%s\t%s\n' "${line:68}" "${line:0:64}"
    done

  # Each workbook, unpacked into a folder of its own, part by part.
  n=0
  while IFS= read -r -d '' book; do
    n=$((n + 1))
    mkdir "$parts/$n"
    unzip -qq -d "$parts/$n" "$root/$book" || { echo "tree_digest: 展開できません：$book" >&2; exit 1; }
    (cd "$parts/$n" && find . -type f -print0 | xargs -0 -r sha256sum --) |
      while IFS= read -r line; do
        printf '%s!%s\t%s\n' "${book#./}" "${line:68}" "${line:0:64}"
      done
  done < <(cd "$root" && find . -type f -name '*.xlsx' -print0)
} | sort -t "$(printf '\t')" -k1,1 | awk -F '\t' '{ print $2 "  " $1 }'
