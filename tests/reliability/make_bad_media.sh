#!/usr/bin/env bash
# Makes the small, well-formed files that the reliability tests damage or push to the edges, with the
# ffmpeg CLI, into the folder given as the only argument. The damage itself (headers that declare a
# zero rate or an absurd picture size, broken EXIF blocks) is written by the tests, byte by byte, so
# that each test says exactly what it broke. Writes a .stamp file last.
set -euo pipefail

out=${1:?usage: make_bad_media.sh OUTDIR}
mkdir -p "$out"
if [ -f "$out/.stamp" ]; then
    exit 0
fi
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

# One pixel: 4:4:4 because 4:2:0 has no chroma sample for a picture of odd size.
ff -f lavfi -i "color=c=red:s=16x16:r=25:d=1,scale=1:1" -c:v libx264 -preset veryfast -pix_fmt yuv444p one_pixel.mp4
# 25 frames at 25 fps in MP4, one sample-to-time entry: the tests zero its rate fields.
ff -f lavfi -i "testsrc2=s=64x36:r=25:d=1" -c:v libx264 -preset veryfast -pix_fmt yuv420p small.mp4
# A 16x16 PNG with alpha (the tests rewrite its IHDR size) and a plain JPEG (they add a broken EXIF).
ff -f lavfi -i "testsrc2=s=16x16:r=1:d=1,format=rgba" -frames:v 1 small.png
ff -f lavfi -i "testsrc2=s=64x48:r=1:d=1" -frames:v 1 -q:v 3 small.jpg
# 30 s of moving pattern (750 frames): a detection that is still running whenever a test stops it.
ff -f lavfi -i "testsrc2=s=160x90:r=25:d=30" -c:v libx264 -preset ultrafast -pix_fmt yuv420p long.mp4
# Audio only, for the scene detection window.
ff -f lavfi -i "sine=f=440:r=48000:d=1" -c:a pcm_s16le tone.wav

touch .stamp
