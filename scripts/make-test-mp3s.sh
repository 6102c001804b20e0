#!/usr/bin/env bash
# Makes the short media files the MCI tests play, into the folder given
# (emptied first): 2-second sine tones encoded by lame in several ways, and
# a file that is named .mp3 but is not one.
#   cbr-id3v2.mp3  44.1 kHz stereo, 128 kbit/s, with an ID3v2 tag in front
#   mono-22k.mp3   22.05 kHz mono, 32 kbit/s
#   vbr.mp3        44.1 kHz stereo, variable bit rate
#   not-audio.mp3  text
set -euo pipefail
dir=${1:?usage: make-test-mp3s.sh FOLDER}
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"
sox -n -r 44100 -c 2 -b 16 stereo.wav synth 2.0 sine 440 vol 0.3
sox -n -r 22050 -c 1 -b 16 mono.wav synth 2.0 sine 660 vol 0.3
lame --quiet -b 128 --id3v2-only --tt "Test tone" --ta "Test" --pad-id3v2-size 2048 \
  stereo.wav cbr-id3v2.mp3
lame --quiet -m m -b 32 mono.wav mono-22k.mp3
lame --quiet -V 4 stereo.wav vbr.mp3
printf 'This is a text file, not audio.\n%.0s' {1..200} >not-audio.mp3
rm stereo.wav mono.wav
