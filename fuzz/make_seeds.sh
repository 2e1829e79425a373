#!/usr/bin/env bash
# Makes the fuzzer's starting inputs with the ffmpeg CLI into the folder given as the only argument:
# one small file for each container and codec family the dialogs meet (video, audio, stills), so
# that mutations start from inputs that reach deep into each demuxer and decoder. Small on purpose:
# every input is probed and decoded thousands of times.
set -euo pipefail

out=${1:?usage: make_seeds.sh OUTDIR}
mkdir -p "$out"
if [ -f "$out/.stamp" ]; then
    exit 0
fi
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

video="testsrc2=s=32x18:r=10:d=0.4"
tone="sine=f=440:r=8000:d=0.2"

ff -f lavfi -i "$video" -c:v libx264 -preset ultrafast -bf 2 -g 2 -pix_fmt yuv420p h264.mp4
ff -f lavfi -i "$video" -f lavfi -i "$tone" -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest av.mov
ff -f lavfi -i "$video" -c:v mpeg2video -f mpegts mpeg2.ts
ff -f lavfi -i "$video" -c:v libvpx -b:v 50k vp8.webm
ff -f lavfi -i "$video" -c:v ffv1 ffv1.mkv
ff -f lavfi -i "$video" -c:v mjpeg -q:v 5 mjpeg.avi
ff -f lavfi -i "$video" -c:v mpeg4 mpeg4.m4v
ff -f lavfi -i "$video" -pix_fmt yuv420p raw.y4m
ff -f lavfi -i "$video" -frames:v 2 anim.gif
ff -f lavfi -i "testsrc2=s=16x16:r=1:d=1,format=rgba" -frames:v 1 alpha.png
ff -f lavfi -i "testsrc2=s=16x16:r=1:d=1" -frames:v 1 -q:v 5 photo.jpg
ff -f lavfi -i "testsrc2=s=16x16:r=1:d=1" -frames:v 1 photo.bmp
ff -f lavfi -i "$tone" -c:a pcm_s16le tone.wav
ff -f lavfi -i "$tone" -c:a libmp3lame -b:a 32k tone.mp3
ff -f lavfi -i "$tone" -c:a flac tone.flac

touch .stamp
