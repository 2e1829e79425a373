#!/usr/bin/env bash
# Seeking and stepping benchmark, with the scene detection ratio in the same run.
#
#   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_BUILD_BENCH=ON -DVK_BUILD_TESTS=OFF
#   cmake --build build/bench --target vkmedia_seek_bench vkmedia_scene_bench
#   bench/run_seek_bench.sh build/bench [WORKDIR]
#
# Builds nothing. Makes (once, in WORKDIR, default /tmp/vkmedia-seek-bench) a 20 s 1080p H.264 clip
# with B-frames and a key frame every 250 frames, copied into MP4, Matroska and MPEG-TS, and prints:
#   - per container, the median over 7 random targets of: our random seek (renderFrame at the
#     player's 640x360 preview size, from a position half the clip away) divided by the time FFmpeg
#     takes to decode from the key frame before the target to the target (goal <= 1.2), measured in
#     the same process with FFmpeg's libraries alone (the demuxer put on the key packet untimed,
#     then decoding until the target comes out), alternating with ours so that the machine's drift
#     touches both alike. Ours includes the seek and the conversion. The ffmpeg CLI is no yardstick
#     here: its process start and probing dwarf the decode, and its -ss on the Matroska copy
#     decodes from the clip's start;
#   - the median step backwards divided by the median step forward (goal <= 2);
#   - scene detection (with thumbnails) divided by ffmpeg's plain decode of the same clip (goal <= 0.9).
# VK_BENCH_ROUNDS (default 3) sets the rounds of the timed ffmpeg commands and of the detection.
set -euo pipefail

build=${1:?usage: run_seek_bench.sh BUILD_DIR [WORKDIR]}
work=${2:-/tmp/vkmedia-seek-bench}
seek_bin="$build/bench/vkmedia_seek_bench"
scene_bin="$build/bench/vkmedia_scene_bench"
for b in "$seek_bin" "$scene_bin"; do
    [ -x "$b" ] || { echo "missing $b (build targets vkmedia_seek_bench vkmedia_scene_bench)" >&2; exit 1; }
done
mkdir -p "$work"
rounds=${VK_BENCH_ROUNDS:-3}

python3 - "$work" "$seek_bin" "$scene_bin" "$rounds" <<'PY'
import json, os, random, statistics, subprocess, sys, time

work, seek_bin, scene_bin, ROUNDS = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
RATE, GOP, FRAMES = 25, 250, 500
SIZE = ("640", "360")

def ff(*args):
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y", *args], check=True)

mp4 = os.path.join(work, "gop250.mp4")
if not os.path.exists(mp4):
    ff("-f", "lavfi", "-i", f"testsrc2=s=1920x1080:r={RATE}:d={FRAMES / RATE}", "-c:v", "libx264",
       "-preset", "veryfast", "-bf", "3", "-g", str(GOP), "-keyint_min", str(GOP), "-sc_threshold", "0",
       "-pix_fmt", "yuv420p", mp4 + ".tmp.mp4")
    os.rename(mp4 + ".tmp.mp4", mp4)
clips = {"mp4": mp4}
for ext, fmt in (("mkv", "matroska"), ("ts", "mpegts")):
    path = os.path.join(work, f"gop250.{ext}")
    if not os.path.exists(path):
        ff("-i", mp4, "-c", "copy", "-f", fmt, path)
    clips[ext] = path

def timed(cmd):
    start = time.monotonic()
    subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True)
    return time.monotonic() - start

rng = random.Random(14)
targets = [rng.randrange(1, FRAMES) for _ in range(7)]
print(f"clip: 1920x1080 H.264, {FRAMES} frames, key frame every {GOP}, 3 B-frames; seek targets {targets}")
seek_ratios = {}
for name, clip in clips.items():
    ours, plain = [[] for _ in targets], [[] for _ in targets]
    for _ in range(ROUNDS):
        out = json.loads(subprocess.run([seek_bin, clip, *SIZE, *map(str, targets)], stdout=subprocess.PIPE,
                                        check=True).stdout.decode())
        for i in range(len(targets)):
            ours[i].append(out["seeks"][i])
            plain[i].append(out["plain"][i])
    ratios = [statistics.median(o) / statistics.median(p) for o, p in zip(ours, plain)]
    seek_ratios[name] = statistics.median(ratios)
    print(f"{name}: our seeks {statistics.median(map(statistics.median, ours)):7.1f} ms median, FFmpeg key-to-target "
          f"decode {statistics.median(map(statistics.median, plain)):7.1f} ms median; ratio {seek_ratios[name]:.2f} "
          f"(targets {min(ratios):.2f} to {max(ratios):.2f}; goal <= 1.2)")

steps = json.loads(subprocess.run([seek_bin, mp4, *SIZE], stdout=subprocess.PIPE, check=True).stdout.decode())
fwd, back = statistics.median(steps["forward"]), statistics.median(steps["backward"])
print(f"steps (mp4, 640x360): forward {fwd:.1f} ms median, backward {back:.1f} ms median "
      f"(mean {statistics.mean(steps['backward']):.1f} ms); ratio backward/forward {back / fwd:.2f} (goal <= 2)")

scene_ratios = []
for r in range(ROUNDS):
    ours_t = timed([scene_bin, mp4])
    dec_t = timed(["ffmpeg", "-hide_banner", "-nostdin", "-i", mp4, "-f", "null", "-"])
    scene_ratios.append(ours_t / dec_t)
    print(f"round {r + 1}: scene detection {ours_t:.2f} s, ffmpeg decode {dec_t:.2f} s")
print(f"scene detection / ffmpeg decode: {statistics.median(scene_ratios):.2f} (median of {ROUNDS}; goal <= 0.9)")
PY
