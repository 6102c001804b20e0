#!/usr/bin/env bash
# Regenerates the player form's placeholder pictures with ImageMagick: a
# 465 x 200 JPEG background for the animation box and a two-frame 32 x 28
# animated GIF (250 ms a frame, white background) for the butterfly template.
# The committed files were made with this script.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 465x200 gradient:'#203a6b-#f0a860' \
  -fill '#ffffff30' -draw 'circle 390,62 390,100' \
  -fill '#ffffff18' -draw 'circle 300,150 300,215' \
  -fill '#10203880' -draw 'polygon 0,200 0,150 90,120 180,160 270,130 360,170 465,140 465,200' \
  -strip -quality 70 back.jpg
wings() {  # wings FILE HALF-WIDTH
  local w=$2
  convert -size 32x28 xc:white -fill '#c8307a' \
    -draw "ellipse $((16 - w / 2)),10 $((w / 2)),7 0,360" \
    -draw "ellipse $((16 + w / 2)),10 $((w / 2)),7 0,360" \
    -fill '#e070a8' \
    -draw "ellipse $((16 - w / 3)),20 $((w / 3)),5 0,360" \
    -draw "ellipse $((16 + w / 3)),20 $((w / 3)),5 0,360" \
    -fill black -draw 'rectangle 15,5 16,24' "$1"
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
wings "$tmp/open.gif" 14
wings "$tmp/closed.gif" 6
convert -delay 25 -loop 0 "$tmp/open.gif" "$tmp/closed.gif" -strip butterfly.gif
