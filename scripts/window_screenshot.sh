#!/usr/bin/env bash
# Takes the README's picture of the output window: the demo database opened with the suite's
# start option in a virtual display, the workbook mode with its sheet editor, one screenshot.
# Usage: scripts/window_screenshot.sh [BUILD_DIR] [OUT.png]   (needs xvfb, xdotool, imagemagick)
set -euo pipefail
build=${1:-build}
out=${2:-docs/output-window.png}
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || {
    echo "window_screenshot: $tool is missing (apt-get install xvfb xdotool imagemagick)" >&2
    exit 1
  }
done
program=$(realpath "$build/bin/lanereport")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/run"
# The program folder (the instance lock, ZEPA.INI) is the work folder's, with the default template
# and images of the build.
cp -r "$(dirname "$program")/BowlerData.xlsx" "$(dirname "$program")/jpg" "$work/home/"
chmod 700 "$work/run"
(cd "$work" && LANEREPORT_HOME="$work/home" "$program" demo demo >/dev/null)

cat >"$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
"$PROGRAM" /m1 "/d$WORK/demo/sample.db" &
app=$!
for _ in $(seq 50); do
  window=$(xdotool search --name "一括出力処理" 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { echo "window_screenshot: the output window did not open" >&2; exit 1; }
sleep 0.5
# The workbook mode: optChange_1 is the second of the four mode buttons across the window.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + WIDTH * 27 / 100)) $((Y + 120)) click 1
sleep 1
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
