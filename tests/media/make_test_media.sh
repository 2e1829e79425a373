#!/usr/bin/env bash
# Makes the small media files the engine tests read, with the ffmpeg CLI, into the folder given as
# the only argument. Every picture of the "numbered" clips carries its frame number as eight
# black/white columns (bit k of the number in column k, 40 pixels wide), so a test can tell which
# frame a renderer returned. Writes a .stamp file last; files are only made when it is missing.
set -euo pipefail

out=${1:?usage: make_test_media.sh OUTDIR}
mkdir -p "$out"
if [ -f "$out/.stamp" ]; then
    exit 0
fi
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

size=320x180
rate=25
# Frame number N as bits: column k is white when bit k of N is set.
numbered="geq=lum='if(bitand(N\,pow(2\,floor(X/40)))\,235\,16)':cb=128:cr=128"
x264_bframes=(-c:v libx264 -preset veryfast -crf 12 -bf 3 -g 12 -keyint_min 12 -sc_threshold 0 -pix_fmt yuv420p)
bt709=(-color_primaries bt709 -color_trc bt709 -colorspace bt709)

# 75 frames, key frames every 12, B-frames: MP4 (video only).
ff -f lavfi -i "color=c=black:s=$size:r=$rate:d=3,$numbered" "${x264_bframes[@]}" "${bt709[@]}" numbered.mp4
# The same pictures in MPEG-TS (timestamps start at 1.4 s there) and in Matroska with a 10 s offset.
ff -i numbered.mp4 -c copy -f mpegts numbered.ts
ff -i numbered.mp4 -c copy -output_ts_offset 10 numbered_offset.mkv
# Variable rate: frames 0-24 at 25 fps, then 10 fps, then 50 fps; frame numbers still in the pixels.
ff -f lavfi -i "color=c=black:s=$size:r=$rate:d=3,$numbered,settb=1/1000,setpts='if(lt(N,25),N/25,if(lt(N,50),1+(N-25)/10,3.5+(N-50)/50))/TB'" \
    "${x264_bframes[@]}" -fps_mode passthrough -enc_time_base 1:1000 numbered_vfr.mkv

# Video with audio (AAC 48 kHz stereo) in MP4 and (FLAC 24-bit 44.1 kHz mono) in Matroska.
ff -f lavfi -i "testsrc2=s=$size:r=$rate:d=2" -f lavfi -i "sine=f=440:r=48000:d=2" \
    -ac 2 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k -shortest av.mp4
ff -f lavfi -i "testsrc2=s=$size:r=$rate:d=2" -f lavfi -i "sine=f=440:r=44100:d=2" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a flac -sample_fmt s32 -bits_per_raw_sample 24 -shortest av.mkv
# Audio only: 16-bit PCM WAV (48 kHz stereo, 2 s) and MP3 (44.1 kHz mono, 1 s).
ff -f lavfi -i "sine=f=440:r=48000:d=2" -ac 2 -c:a pcm_s16le audio.wav
ff -f lavfi -i "sine=f=440:r=44100:d=1" -c:a libmp3lame -b:a 96k audio.mp3

# 10-bit clips tagged PQ and HLG.
ff -f lavfi -i "testsrc2=s=$size:r=$rate:d=1" -c:v libx264 -preset veryfast -pix_fmt yuv420p10le \
    -color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc hdr_pq.mp4
ff -f lavfi -i "testsrc2=s=$size:r=$rate:d=1" -c:v libx264 -preset veryfast -pix_fmt yuv420p10le \
    -color_primaries bt2020 -color_trc arib-std-b67 -colorspace bt2020nc hdr_hlg.mkv

# Lossless BT.709 colour fields (converted with the BT.709 matrix, tagged as such).
for c in red lime; do
    ff -f lavfi -i "color=c=$c:s=64x36:r=$rate:d=0.2,scale=out_color_matrix=bt709:out_range=tv,format=yuv420p" \
        -c:v libx264 -preset veryfast -qp 0 "${bt709[@]}" "${c}709.mp4"
done

# Stills: a PNG with alpha and a JPEG (the tests add EXIF to a copy of it).
ff -f lavfi -i "testsrc2=s=200x100:r=1:d=1,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='X'" \
    -frames:v 1 alpha.png
ff -f lavfi -i "testsrc2=s=240x160:r=1:d=1" -frames:v 1 -q:v 3 photo.jpg

# Scenes: six shots of 30 frames each, cuts at 30, 60, 90, 120 and 150:
#   0 moving test pattern | 30 zooming fractal with a one-frame white flash at 45 (not a cut) |
#   60 blue field with a box moving right | 90 same blue field with a grid (a same-colour cut) |
#   120 moving test pattern | 150 the same pattern cropped to its centre and enlarged (a reframing).
shot="fps=$rate,scale=$size,setsar=1,format=yuv420p"
ff -f lavfi -i "testsrc2=s=$size:r=$rate:d=1.2" \
    -f lavfi -i "mandelbrot=s=$size:r=$rate,trim=end_frame=30,drawbox=c=white:t=fill:enable='eq(n,15)'" \
    -f lavfi -i "color=c=0x3050a0:s=$size:r=$rate:d=1.2[bg];color=c=0x90a0c0:s=60x60:r=$rate:d=1.2[box];[bg][box]overlay=x='20+4*n':y=50[out0]" \
    -f lavfi -i "color=c=0x3050a0:s=$size:r=$rate:d=1.2,drawgrid=w=40:h=40:t=4:c=0x90a0c0" \
    -f lavfi -i "testsrc2=s=$size:r=$rate:d=1.2" \
    -f lavfi -i "testsrc2=s=$size:r=$rate:d=1.2,crop=iw/2:ih/2,scale=$size" \
    -filter_complex "[0]$shot[a];[1]$shot[b];[2]$shot[c];[3]$shot[d];[4]$shot[e];[5]$shot[f];[a][b][c][d][e][f]concat=n=6:v=1:a=0" \
    -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p scenes.mp4
# A longer clip for stopping and releasing runs: 40 s of moving pattern, 1000 frames.
ff -f lavfi -i "testsrc2=s=160x90:r=$rate:d=40" -c:v libx264 -preset ultrafast -pix_fmt yuv420p long.mp4

# Not media: empty, random bytes, and an MP4 cut off before its index (moov) is written.
: > empty.mp4
head -c 65536 /dev/urandom > random.mp4
full=$(stat -c %s av.mp4)
head -c $((full / 3)) av.mp4 > truncated.mp4

touch .stamp
