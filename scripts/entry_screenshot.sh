#!/usr/bin/env bash
# Takes the README's picture of the score entry window: a small sample database opened with the
# suite's start option /m3 in a virtual display, a game typed box by box with Enter up to the
# tenth frame, one screenshot of the window.
# Usage: scripts/entry_screenshot.sh [BUILD_DIR] [OUT.png]   (needs xvfb, xdotool, imagemagick)
set -euo pipefail
build=${1:-build}
out=${2:-docs/score-entry-window.png}
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || {
    echo "entry_screenshot: $tool is missing (apt-get install xvfb xdotool imagemagick)" >&2
    exit 1
  }
done
program=$(realpath "$build/bin/lanereport")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
LANEREPORT_HOME="$work/home" "$program" sample-db "$work/league.db" --bowlers 3 --years 1 >/dev/null

cat >"$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
"$PROGRAM" /m3 "/d$WORK/league.db" &
app=$!
for _ in $(seq 50); do
  window=$(xdotool search --name "スコア入力" 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "entry_screenshot: the score entry window did not open" >&2; exit 1; }
sleep 0.8
# The window opens on the first roll box; each entry is typed there and Enter goes on.
for roll in x 9 / 7 2 x x -6 3 g 8 8 -2 f 9 x; do
  xdotool type --delay 20 -- "$roll"
  xdotool key Return
  sleep 0.1
done
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$SHOT"
kill "$app"
INNER
chmod +x "$work/shoot.sh"
mkdir -p "$(dirname "$out")"
PROGRAM="$program" WORK="$work" SHOT="$work/shot.png" LANEREPORT_HOME="$work/home" \
  XDG_RUNTIME_DIR="$work/run" LANEREPORT_NO_ANIMATION=1 \
  xvfb-run -a -s "-screen 0 1366x768x24" "$work/shoot.sh"
cp "$work/shot.png" "$out"
echo "$out"
