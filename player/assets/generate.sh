#!/usr/bin/env bash
# Regenerates the player's pictures with ImageMagick: a 465 x 200 JPEG
# background for the animation box, a two-frame 32 x 28 animated GIF on a 34 x 30
# canvas (250 ms a frame, white background) for the butterfly template, and the program's
# icon: an ICO of two true-colour images, 32 and 16 pixels square (the tray
# shows the 16-pixel one, the 32-pixel one where that fails; nothing shows a
# larger one). The committed files were made with this script.
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
# Frames of 32 x 28 at (1, 1) on a 34 x 30 canvas.
convert -dispose background -delay 25 -loop 0 -page 34x30+1+1 "$tmp/open.gif" \
  -page 34x30+1+1 "$tmp/closed.gif" -strip butterfly.gif

# The icon: a dark note on an orange disc ringed in rose, drawn once at 128
# pixels and scaled down; written as 32-bit images with alpha.
note() {  # note FILE SIZE
  convert -size 128x128 xc:none -fill '#c8307a' -draw 'circle 64,64 64,4' \
    -fill '#f0a860' -draw 'circle 64,64 64,16' \
    -fill '#203a6b' -draw 'rectangle 70,30 80,92' -draw 'ellipse 58,92 18,13 0,360' \
    -draw 'polygon 80,30 104,42 104,54 80,44' \
    -resize "$2x$2" -define png:color-type=6 "$1"
}
for size in 32 16; do note "$tmp/note$size.png" "$size"; done
convert "$tmp"/note{32,16}.png player.ico
