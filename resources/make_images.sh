#!/usr/bin/env bash
# Draws the images the default look settings name: the page background, the two kinds of frame
# box of a score sheet, and the strike, spare and empty marks. Needs ImageMagick (Debian package
# imagemagick); the drawn files are kept in the repository, so building never needs it.
#
# The pages write their text in the look's text colour (dark blue-grey, #1c2a44) on this
# background and on the light cells of their tables, so the background is light.
#
# Every image is tiled into table cells of any size: the frame images are 30 pixels wide, the
# width of a roll box, and 64 high, taller than any cell of a score sheet, so a 30-pixel box gets
# one image and the 60- to 90-pixel score cells get whole copies side by side. Their only lines
# run along the top edge, where copies side by side join into one line, and, in the box of the
# second and third roll (never wider than 30 pixels), along the left edge.
set -euo pipefail
cd "$(dirname "$0")/jpg"
IM=/usr/bin/convert

# Light lane boards: 16-pixel boards in two shades of pale maple, each with a faint seam; the
# tile repeats without a visible edge. The darkest colour is the seam, #e6dfcd.
$IM -size 64x64 xc:'#f5f1e7' +antialias \
    -fill '#f1ece0' -draw 'rectangle 16,0 31,63' -draw 'rectangle 48,0 63,63' \
    -stroke '#e6dfcd' -strokewidth 1 -draw 'line 0,0 0,63' -draw 'line 16,0 16,63' \
    -draw 'line 32,0 32,63' -draw 'line 48,0 48,63' \
    -quality 95 BG.jpg

# The box of the second and third roll: white, with a frame line along its left and top edges.
$IM -size 30x64 xc:white +antialias -stroke '#7d8ea6' -strokewidth 1 \
    -draw 'line 0,0 29,0' -draw 'line 0,0 0,63' -quality 95 waku0.jpg

# The frame (first roll box, frame score, game number and total): a pale blue-grey with a frame
# line along its top edge, which in the score row separates it from the roll boxes above.
$IM -size 30x64 xc:'#e2e9f2' +antialias -stroke '#7d8ea6' -strokewidth 1 \
    -draw 'line 0,0 29,0' -quality 95 waku.jpg

# Strike: a filled dark square with an X cut out, as a score sheet shows it.
$IM -size 15x15 xc:white -fill '#1c2a44' -draw 'rectangle 1,1 13,13' \
    -stroke white -strokewidth 2 -draw 'line 3,3 11,11' -draw 'line 11,3 3,11' -quality 95 strike.jpg

# Spare: the lower-right half of the box filled dark.
$IM -size 15x15 xc:white -fill '#1c2a44' -draw 'polygon 1,13 13,1 13,13' -quality 95 spare.jpg

# An empty roll: a white box with a faint frame.
$IM -size 15x15 xc:white +antialias -fill none -stroke '#c3ccd8' -strokewidth 1 \
    -draw 'rectangle 0,0 14,14' \
    -quality 95 space.jpg
