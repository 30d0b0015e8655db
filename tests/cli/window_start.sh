#!/usr/bin/env bash
# The program without a command, or with the suite's start options, hands the process over to
# the windows' program beside it: without a display that program's own message comes back. A
# copy of the program alone in a folder says which program it could not start.
# Usage: tests/cli/window_start.sh LANEREPORT_BINARY
set -uo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

expect() {  # what, expected status, expected text on standard error, command...
  local what=$1 status=$2 text=$3
  shift 3
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$work/out" 2>"$work/err" </dev/null
  local got=$?
  if [ "$got" -ne "$status" ] || { [ -n "$text" ] && ! grep -qF "$text" "$work/err"; }; then
    echo "$what: status $got (expected $status), standard error:"
    cat "$work/err"
    failed=1
  fi
}

expect "no command" 1 "画面を表示できません" "$program"
expect "start options" 1 "画面を表示できません" "$program" /m1 "/d$work/none.db"
cp "$program" "$work/lanereport"
expect "alone" 1 "画面のプログラム（$work/lanereport-windows）を起動できません" "$work/lanereport"
# A command never needs the windows' program.
expect "command alone" 0 "" "$work/lanereport" init "$work/score.db"
exit $failed
