#!/usr/bin/env bash
# Draws the windows' icon: a bowling pin in front of a dark blue ball on a lane-blue rounded
# square, written as icon/lanereport.svg and rendered to icon/lanereport-SIZE.png for the sizes
# window managers and task bars ask for. Needs rsvg-convert (Debian package librsvg2-bin); the
# drawn files are kept in the repository, so building never needs it.
set -euo pipefail
cd "$(dirname "$0")/icon"

cat >lanereport.svg <<'SVG'
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="back" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2f6db5"/>
      <stop offset="1" stop-color="#123a6e"/>
    </linearGradient>
    <radialGradient id="ball" cx="0.35" cy="0.3" r="0.75">
      <stop offset="0" stop-color="#5a7fb8"/>
      <stop offset="1" stop-color="#0b1c3a"/>
    </radialGradient>
    <linearGradient id="pin" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#ffffff"/>
      <stop offset="1" stop-color="#d9dde4"/>
    </linearGradient>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="44" fill="url(#back)"/>
  <!-- the lane's boards, fading towards the pins -->
  <path d="M96 248 L116 40 L140 40 L160 248 Z" fill="#ffffff" opacity="0.12"/>
  <!-- the ball, bottom left -->
  <circle cx="92" cy="170" r="58" fill="url(#ball)" stroke="#061228" stroke-width="4"/>
  <circle cx="76" cy="144" r="8" fill="#061228"/>
  <circle cx="100" cy="136" r="8" fill="#061228"/>
  <circle cx="96" cy="162" r="9" fill="#061228"/>
  <!-- the pin, right -->
  <path d="M170 30
           C152 30 150 52 154 70
           C157 84 160 92 156 104
           C146 130 136 158 140 190
           C143 214 152 226 170 226
           C188 226 197 214 200 190
           C204 158 194 130 184 104
           C180 92 183 84 186 70
           C190 52 188 30 170 30 Z"
        fill="url(#pin)" stroke="#1c2a44" stroke-width="4"/>
  <path d="M156.5 84 C165 88 175 88 183.5 84 L182 96 C174 99 166 99 158 96 Z" fill="#c8102e"/>
</svg>
SVG

for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" lanereport.svg -o "lanereport-$size.png"
done
