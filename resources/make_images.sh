#!/usr/bin/env bash
# Draws the images the default look settings name: the page background, the two kinds of frame
# box of a score sheet, and the strike, spare and empty marks. Needs ImageMagick (Debian package
# imagemagick); the drawn files are kept in the repository, so building never needs it.
set -euo pipefail
cd "$(dirname "$0")/jpg"
IM=/usr/bin/convert

# A dark blue-grey background with a faint lane-board grain; the pages' text colour is white.
$IM -size 64x64 gradient:'#1c2a44'-'#101828' \
    -fill '#22335a' -draw 'line 0,16 63,16' -draw 'line 0,40 63,40' \
    -quality 90 BG.jpg

# The small box of the second and third roll: white with a thin dark frame on its left and bottom.
$IM -size 30x20 xc:white -fill none -stroke '#404040' -strokewidth 1 \
    -draw 'line 0,0 0,19' -draw 'line 0,19 29,19' -quality 95 waku0.jpg

# The large box of a frame (first roll and frame score): white inside a dark frame.
$IM -size 60x20 xc:white -fill none -stroke '#404040' -strokewidth 1 \
    -draw 'rectangle 0,0 59,19' -quality 95 waku.jpg

# Strike: a filled black square mark with an X cut out, as a score sheet shows it.
$IM -size 15x15 xc:white -fill black -draw 'rectangle 1,1 13,13' \
    -stroke white -strokewidth 2 -draw 'line 3,3 11,11' -draw 'line 11,3 3,11' -quality 95 strike.jpg

# Spare: the lower-left half of the box filled black.
$IM -size 15x15 xc:white -fill black -draw 'polygon 1,13 13,1 13,13' -quality 95 spare.jpg

# An empty roll: a plain white box.
$IM -size 15x15 xc:white -quality 95 space.jpg
