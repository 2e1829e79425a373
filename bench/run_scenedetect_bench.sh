#!/usr/bin/env bash
# Scene detection benchmark.
#
#   cmake -S . -B /work/build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_BUILD_BENCH=ON -DVK_BUILD_TESTS=OFF
#   cmake --build /work/build-bench --target vkmedia_scene_bench vkscenedetect
#   bench/run_scenedetect_bench.sh /work/build-bench [WORKDIR]
#
# Builds nothing. Makes (once, in WORKDIR, default /tmp/vkmedia-bench) 1080p H.264 clips of 60 s and
# 180 s made of 2.4 s shots from different moving sources, with same-colour cuts, reframings, one
# dissolve and one single-frame flash, and prints in one run: our detection time (with thumbnails),
# ffmpeg's decode-only time (with and without deblocking) and scene-select filter time at the same
# thread count, the ratios, our peak memory on both clips, and precision / recall / F1 of our cuts
# against the known hard cuts (a cut within one frame counts; a cut inside the dissolve is neither a
# hit nor a false alarm).
# VK_BENCH_ROUNDS (default 5) sets how many rounds of the timed programs are run.
set -euo pipefail

build=${1:?usage: run_scenedetect_bench.sh BUILD_DIR [WORKDIR]}
work=${2:-/tmp/vkmedia-bench}
bench_bin="$build/bench/vkmedia_scene_bench"
[ -x "$bench_bin" ] || { echo "missing $bench_bin (build target vkmedia_scene_bench)" >&2; exit 1; }
mkdir -p "$work"
threads=$(nproc)

rounds=${VK_BENCH_ROUNDS:-5}

python3 - "$work" "$bench_bin" "$threads" "$rounds" <<'PY'
import json, os, statistics, subprocess, sys, time

work, bench_bin, threads, ROUNDS = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
RATE, SHOT = 25, 60            # 2.4 s shots
SMALL = "480x270"              # sources are drawn small and scaled up, so generation stays quick
DISSOLVE = 10                  # frames of the one dissolve

def sources(i):
    # Moving sources in a cycle; pairs 3/4 share a background colour, 5 reframes 0's pattern.
    d = SHOT / RATE
    cycle = [
        f"testsrc2=s={SMALL}:r={RATE}:d={d}",
        f"mandelbrot=s={SMALL}:r={RATE},trim=end_frame={SHOT}",
        f"gradients=s={SMALL}:r={RATE}:d={d}:speed=0.05",
        f"color=c=0x3050a0:s={SMALL}:r={RATE}:d={d}[bg{i}];color=c=0x90a0c0:s=80x80:r={RATE}:d={d}[bx{i}];[bg{i}][bx{i}]overlay=x='10+6*n':y=90",
        f"color=c=0x3050a0:s={SMALL}:r={RATE}:d={d},drawgrid=w=60:h=60:t=6:c=0x90a0c0",
        f"testsrc2=s={SMALL}:r={RATE}:d={d},crop=iw/2:ih/2:x='iw/4+n':y=ih/4,scale={SMALL}",
        f"life=s={SMALL}:r={RATE}:mold=10:ratio=0.5:death_color=0x203040:life_color=0xc0a060,trim=end_frame={SHOT}",
        f"smptehdbars=s={SMALL}:r={RATE}:d={d},hue=h='40*t'",
    ]
    return cycle[i % len(cycle)]

def make(path, shots):
    if os.path.exists(path):
        return json.load(open(path + ".truth.json"))
    inputs, chains, cuts = [], [], []
    flash_shot, dissolve_shot = 6, shots // 2
    for i in range(shots):
        src = sources(i)
        # A lavfi graph with several sources names its output.
        inputs += ["-f", "lavfi", "-i", src + "[out0]" if "[bg" in src else src]
        extra = ",drawbox=c=white:t=fill:enable='eq(n,30)'" if i == flash_shot else ""
        chains.append(f"[{i}]fps={RATE},scale=1920x1080,setsar=1,format=yuv420p,tpad=stop={SHOT}:stop_mode=clone,trim=end_frame={SHOT},setpts=N/{RATE}/TB{extra}[s{i}]")
    # Concatenate, except that the shot after dissolve_shot fades in over DISSOLVE frames.
    graph = ";".join(chains)
    a, b = dissolve_shot, dissolve_shot + 1
    graph += f";[s{a}][s{b}]xfade=transition=fade:duration={DISSOLVE/RATE}:offset={(SHOT-DISSOLVE)/RATE}[x]"
    order, frame, dont_care = [], 0, []
    for i in range(shots):
        if i == b:
            continue
        label = "x" if i == a else f"s{i}"
        length = 2 * SHOT - DISSOLVE if i == a else SHOT
        if frame > 0:
            cuts.append(frame)
        if i == a:
            dont_care.append((frame + SHOT - DISSOLVE - 1, frame + SHOT + 1))
        order.append(f"[{label}]")
        frame += length
    graph += ";" + "".join(order) + f"concat=n={len(order)}:v=1:a=0,setpts=N/{RATE}/TB[v]"
    cmd = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y"] + inputs + [
        "-filter_complex", graph, "-map", "[v]", "-fps_mode", "passthrough", "-c:v", "libx264", "-preset", "veryfast", "-crf", "20",
        "-pix_fmt", "yuv420p", path]
    subprocess.run(cmd, check=True)
    # The truth is only worth something if the clip really has the frames it assumes.
    probe = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-count_packets",
                            "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0", path],
                           stdout=subprocess.PIPE, check=True)
    actual = int(probe.stdout.decode().strip())
    if actual != frame:
        os.remove(path)
        sys.exit(f"generated {path} has {actual} frames, the cut list assumes {frame}")
    truth = {"cuts": cuts, "dontCare": dont_care, "frames": frame, "flash": SHOT * flash_shot + 30}
    json.dump(truth, open(path + ".truth.json", "w"))
    return truth

def timed(cmd):
    start = time.monotonic()
    p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
    return time.monotonic() - start, p.stdout.decode()

def peak_rss_mb(cmd):
    # Peak resident size of one child, from GNU time.
    p = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return int(p.stderr.decode().strip().splitlines()[-1]) / 1024.0

def score(found, truth):
    cuts, dont = truth["cuts"], truth["dontCare"]
    matched, tp, fp = set(), 0, 0
    for f in found:
        hit = next((c for c in cuts if abs(c - f) <= 1 and c not in matched), None)
        if hit is not None:
            matched.add(hit); tp += 1
        elif not any(lo <= f <= hi for lo, hi in dont):
            fp += 1
    fn = len(cuts) - tp
    p = tp / (tp + fp) if tp + fp else 0.0
    r = tp / (tp + fn) if tp + fn else 0.0
    f1 = 2 * p * r / (p + r) if p + r else 0.0
    flash_cut = any(abs(f - truth["flash"]) <= 1 for f in found)
    return p, r, f1, flash_cut

clip60 = os.path.join(work, "shots_60s.mp4")
clip180 = os.path.join(work, "shots_180s.mp4")
truth60 = make(clip60, 25)
truth180 = make(clip180, 75)

# The machine's speed drifts from minute to minute, so single timings of programs run a minute apart
# are not comparable: ours, ffmpeg's decode and ffmpeg's decode without deblocking (the least that
# any detection which looks at every frame has to do) run in a rotating order, several rounds, and
# the figures are the medians, the ratios being the medians of the rounds' own ratios.
ffmpeg_decode = ["ffmpeg", "-hide_banner", "-threads", threads]
programs = [("ours", [bench_bin, clip60]),
            ("decode", ffmpeg_decode + ["-i", clip60, "-f", "null", "-"]),
            ("nodeblock", ffmpeg_decode + ["-skip_loop_filter", "all", "-i", clip60, "-f", "null", "-"])]
times = {name: [] for name, _ in programs}
ratios, floor_ratios, ours = [], [], None
for r in range(ROUNDS):
    for name, cmd in programs[r % 3:] + programs[:r % 3]:
        t, out = timed(cmd)
        times[name].append(t)
        if name == "ours":
            ours = ours or json.loads(out)
    ratios.append(times["ours"][-1] / times["decode"][-1])
    floor_ratios.append(times["nodeblock"][-1] / times["decode"][-1])
    print(f"round {r + 1}: ours {times['ours'][-1]:.2f} s, ffmpeg decode {times['decode'][-1]:.2f} s, "
          f"without deblocking {times['nodeblock'][-1]:.2f} s, ours/decode {ratios[-1]:.2f}")
ours_t, dec_t, nodeblock_t = (statistics.median(times[n]) for n in ("ours", "decode", "nodeblock"))
ratio = statistics.median(ratios)
sel_t, _ = timed(["ffmpeg", "-hide_banner", "-threads", threads, "-i", clip60, "-vf",
                  "select='gt(scene,0.3)'", "-f", "null", "-"])
mem60 = peak_rss_mb([bench_bin, clip60])
mem180 = peak_rss_mb([bench_bin, clip180])
p, r, f1, flash_cut = score(ours["cuts"], truth60)

print(f"clip: {clip60} ({truth60['frames']} frames, {len(truth60['cuts'])} hard cuts, 1 dissolve, 1 flash), threads {threads}")
print(f"ours (detection + thumbnails): {ours_t:7.2f} s   thumbnails {ours['thumbnails']}, cache hits {ours['cacheHits']}")
print(f"ffmpeg decode only:           {dec_t:7.2f} s   ratio ours/decode {ratio:.2f} (median of {ROUNDS} rounds, {min(ratios):.2f} to {max(ratios):.2f}; goal <= 1.0)")
print(f"ffmpeg decode, no deblocking: {nodeblock_t:7.2f} s   ratio to decode {statistics.median(floor_ratios):.2f}")
print(f"ffmpeg scene select:          {sel_t:7.2f} s   ratio ours/select {ours_t / sel_t:.2f}")
print(f"peak memory: 60 s {mem60:.1f} MB, 180 s {mem180:.1f} MB")
print(f"hard cuts: precision {p:.3f} recall {r:.3f} F1 {f1:.3f} (goal >= 0.97); cut at the flash: {'YES' if flash_cut else 'no'}")
PY
