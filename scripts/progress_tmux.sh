#!/usr/bin/env bash
# Shows the command line's progress as a user sees it: a league-sized bulk run in tmux panes of
# 80 and 200 columns, each captured while the run draws and once it is done.
# Usage: scripts/progress_tmux.sh [BUILD_DIR]   (needs tmux)
set -euo pipefail
build=${1:-build}
command -v tmux >/dev/null || { echo "progress_tmux: tmux is missing (apt-get install tmux)" >&2; exit 1; }
program=$(realpath "$build/bin/lanereport")
work=$(mktemp -d)
trap 'tmux -L lanereport-progress kill-server 2>/dev/null || true; rm -rf "$work"' EXIT
"$program" sample-db "$work/league.db" --bowlers 99 --years 1 --end-year 2025 --seed 3 >/dev/null
for columns in 80 200; do
  tmux -L lanereport-progress new-session -d -s "p$columns" -x "$columns" -y 24 \
    "'$program' bulk '$work/league.db' --year 2025 --out '$work/out$columns'; echo 終了; sleep 60"
  sleep 1.5
  echo "---- $columns columns, while the run draws"
  tmux -L lanereport-progress capture-pane -p -t "p$columns" | sed '/^$/d'
  for _ in $(seq 100); do
    tmux -L lanereport-progress capture-pane -p -t "p$columns" | grep -q 終了 && break
    sleep 0.3
  done
  echo "---- $columns columns, done"
  tmux -L lanereport-progress capture-pane -p -t "p$columns" | sed '/^$/d'
done
