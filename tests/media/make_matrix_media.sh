#!/usr/bin/env bash
# Makes the engine's format matrix with the ffmpeg CLI, into the folder given as the only argument:
# small clips (160x90, 25 fps, mostly 4 s) in the codecs and containers people bring to an editor,
# and the damaged or unusual shapes real footage has (turned phone clips, trimmed MP4, recordings
# cut mid-group, HEVC starting at a CRA picture, repeated timestamps, a late start). The moving test
# pattern makes every picture differ from its neighbours, so a frame off by one shows. Writes a
# .stamp file last; nothing is made when it exists.
set -euo pipefail

out=${1:?usage: make_matrix_media.sh OUTDIR}
mkdir -p "$out"
if [ -f "$out/.stamp" ]; then
    exit 0
fi
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
src() { echo "testsrc2=s=160x90:r=25:d=${1:-4}"; }
x264=(-c:v libx264 -preset veryfast -pix_fmt yuv420p)
x265=(-c:v libx265 -preset ultrafast)
# Byte position of the `n`-th (0-based) key packet of the video stream, rounded down to a whole
# 188-byte transport packet.
key_position() {
    ffprobe -v error -select_streams v -show_entries packet=pos,flags -of csv=p=0 "$1" |
        awk -F, -v n="$2" '$2 ~ /K/ { if (k++ == n) { print int($1 / 188) * 188; exit } }'
}

# H.264 with B-frames in the common containers; GOP 250 where the clip is long enough to hold two.
ff -f lavfi -i "$(src)" "${x264[@]}" -bf 3 -g 30 h264.mp4
ff -f lavfi -i "$(src 12)" "${x264[@]}" -bf 3 -g 250 h264_gop250.mkv
ff -f lavfi -i "$(src)" "${x264[@]}" -bf 3 -g 30 -f mpegts h264.ts
ff -f lavfi -i "$(src)" "${x264[@]}" -bf 3 -g 30 h264.mov
ff -f lavfi -i "$(src)" "${x264[@]}" -bf 3 -g 30 h264_bframes.avi
# HEVC (open groups: CRA key pictures with leading pictures), 8 and 10 bits.
ff -f lavfi -i "$(src)" "${x265[@]}" -pix_fmt yuv420p -x265-params "keyint=30:bframes=3:log-level=error" hevc.mp4
ff -f lavfi -i "$(src)" "${x265[@]}" -pix_fmt yuv420p10le -x265-params "keyint=30:bframes=3:log-level=error" hevc10.mkv
ff -f lavfi -i "$(src)" -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -g 30 vp9.webm
encoders=$(ffmpeg -hide_banner -encoders 2>/dev/null)
if grep -q libsvtav1 <<<"$encoders"; then
    SVT_LOG=1 ff -f lavfi -i "$(src 2)" -c:v libsvtav1 -preset 12 -g 20 -pix_fmt yuv420p av1.mkv
fi
ff -f lavfi -i "$(src)" -c:v mpeg2video -bf 2 -g 15 -q:v 4 mpeg2.mpg
ff -f lavfi -i "$(src)" -c:v mpeg4 -bf 2 -g 30 -q:v 4 mpeg4_bframes.avi
ff -f lavfi -i "$(src 2)" -c:v prores_ks -profile:v 2 prores.mov
ff -f lavfi -i "$(src 2)" -c:v mjpeg -pix_fmt yuvj422p -q:v 4 mjpeg.avi
# Phone clips shot in portrait: the display matrix turns them a quarter turn either way.
ff -f lavfi -i "$(src 2)" "${x264[@]}" -bf 2 -g 20 -metadata:s:v rotate=90 rotated90.mp4
ff -f lavfi -i "$(src 2)" "${x264[@]}" -bf 2 -g 20 -metadata:s:v rotate=270 rotated270.mp4
# Trimmed without re-encoding: an edit list starts 1.3 s in, past a key frame at 1.2 s.
ff -ss 1.3 -i h264.mp4 -c copy trimmed.mp4
# A recording cut a third of the way in, in the middle of a group.
size=$(stat -c %s h264.ts)
tail -c +$((size / 188 / 3 * 188 + 1)) h264.ts >ts_cut_midgop.ts
# HEVC copied from its second key picture (a CRA) on: the leading pictures after it cannot be shown.
ff -f lavfi -i "$(src)" "${x265[@]}" -pix_fmt yuv420p -x265-params "keyint=30:bframes=4:open-gop=1:log-level=error" \
    -f mpegts hevc_full.ts
tail -c +$(($(key_position hevc_full.ts 1) + 1)) hevc_full.ts >hevc_from_cra.ts
rm hevc_full.ts
# Every two pictures share one timestamp.
ff -f lavfi -i "$(src)" -vf "settb=1/1000,setpts='floor(N/2)*80'" "${x264[@]}" -bf 0 -g 25 \
    -fps_mode passthrough duplicate_timestamps.mkv
# Timestamps starting at 10 s.
ff -f lavfi -i "$(src)" "${x264[@]}" -bf 3 -g 30 -output_ts_offset 10 late_start.mkv
touch .stamp
