#!/usr/bin/env bash
# Makes the demo folder run.sh starts the player with (emptied first): a few
# short plucked tunes as MP3 files, one of them with a Chinese file name.
#   make-demo-songs.sh FOLDER [SECONDS-PER-NOTE]
set -euo pipefail
dir=${1:?usage: make-demo-songs.sh FOLDER [SECONDS-PER-NOTE]}
beat=${2:-0.3}
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"

# tune FILE NOTE...: one plucked note a beat, the last one held for two.
tune() {
  local file=$1 chain=() last
  shift
  last=${!#}
  for note in "${@:1:$#-1}"; do chain+=(synth "$beat" pluck "$note" :); done
  chain+=(synth "$(awk "BEGIN { print $beat * 2 }")" pluck "$last")
  sox -n -r 44100 -c 2 -b 16 song.wav "${chain[@]}" vol 0.5
  lame --quiet -b 128 song.wav "$file"
  rm song.wav
}

tune "01 Morning.mp3" C4 E4 G4 C5 G4 E4 C4
tune "02 小星星.mp3" C4 C4 G4 G4 A4 A4 G4
tune "03 Evening.mp3" A4 F4 D4 F4 A4 D5 A4
