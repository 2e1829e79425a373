#!/usr/bin/env bash
# Scene detection benchmark.
#
#   cmake -S . -B /work/build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVK_BUILD_BENCH=ON -DVK_BUILD_TESTS=OFF
#   cmake --build /work/build-bench --target vkmedia_scene_bench vkscenedetect
#   bench/run_scenedetect_bench.sh /work/build-bench [WORKDIR]
#
# Builds nothing. Makes (once, in WORKDIR, default /tmp/vkmedia-bench) a 53 s 1080p H.264 clip of 2.4 s
# shots from different moving sources, joined by hard cuts (same-colour ones and reframings among
# them) and by nine gradual transitions (cross-fades, pixel dissolves, fades through black and
# through white, 8 to 40 frames), with one single-frame flash, and a 160 s clip that is the same three
# times over; and prints in one run: our detection time (with thumbnails), ffmpeg's decode-only time (with and without
# deblocking) and scene-select filter time at the same thread count, the ratios, our peak memory on
# both clips, and precision / recall / F1 of our boundaries against the known hard cuts (within one
# frame) and, separately, against the known gradual transitions (inside the blended frames).
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

# Joins between shots: a hard cut unless listed here as (xfade transition, frames). Gradual ones of
# every kind and of 8 to 40 frames, none next to the flash or the same-colour cut (joins 3 and 4).
# Every shot stays on screen alone for more than a second (a shorter one is no scene of its own).
GRADUAL = {8: ("fade", 10), 10: ("dissolve", 20), 12: ("fadeblack", 12), 14: ("fade", 40),
           16: ("fadewhite", 16), 18: ("dissolve", 8), 20: ("fadeblack", 30), 22: ("fade", 25),
           23: ("fadewhite", 8)}

def make(path, shots):
    if os.path.exists(path) and os.path.exists(path + ".truth.json"):
        truth = json.load(open(path + ".truth.json"))
        if truth.get("joins") == repr(sorted(GRADUAL.items())):
            return truth
    inputs, chains, cuts, gradual = [], [], [], []
    flash_shot = 6
    for i in range(shots):
        src = sources(i)
        # A lavfi graph with several sources names its output.
        inputs += ["-f", "lavfi", "-i", src + "[out0]" if "[bg" in src else src]
        extra = ",drawbox=c=white:t=fill:enable='eq(n,30)'" if i == flash_shot else ""
        chains.append(f"[{i}]fps={RATE},scale=1920x1080,setsar=1,format=yuv420p,tpad=stop={SHOT}:stop_mode=clone,trim=end_frame={SHOT},setpts=N/{RATE}/TB{extra}[s{i}]")
    # Shots are joined one after another onto the clip made so far; an xfade overlaps the two shots
    # by its length, and its blended frames are the transition's extent.
    graph = ";".join(chains)
    label, frame, flash = "s0", SHOT, SHOT * flash_shot + 30
    # xfade wants both inputs on the same time base; concat leaves its own.
    retime = f",settb=1/{RATE},setpts=N/{RATE}/TB"
    for i in range(1, shots):
        join = GRADUAL.get((i - 1) % 25)
        out = f"j{i}"
        if join:
            kind, length = join
            offset = frame - length
            graph += f";[{label}][s{i}]xfade=transition={kind}:duration={length * 1000 // RATE}ms:offset={offset * 1000 // RATE}ms{retime}[{out}]"
            # The frame at the offset is still the first shot alone; the blend follows it.
            gradual.append({"kind": kind, "first": offset + 1, "last": offset + length - 1})
            frame += SHOT - length
        else:
            graph += f";[{label}][s{i}]concat=n=2:v=1:a=0{retime}[{out}]"
            cuts.append(frame)
            frame += SHOT
        if i == flash_shot:
            flash = frame - SHOT + 30
        label = out
    graph += f";[{label}]setpts=N/{RATE}/TB[v]"
    cmd = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-y"] + inputs + [
        "-filter_complex", graph, "-map", "[v]", "-r", str(RATE), "-c:v", "libx264", "-preset", "veryfast", "-crf", "20",
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
    truth = {"cuts": cuts, "gradual": gradual, "frames": frame, "flash": flash,
             "joins": repr(sorted(GRADUAL.items()))}
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

def prf(tp, fp, fn):
    p = tp / (tp + fp) if tp + fp else 0.0
    r = tp / (tp + fn) if tp + fn else 0.0
    return p, r, 2 * p * r / (p + r) if p + r else 0.0

def score(found, truth):
    # Each reported boundary is matched to at most one transition: a hard cut when within one frame
    # of it, a gradual one when inside its blended frames (or next to them). A second boundary in a
    # gradual transition is a false alarm of the gradual class; one outside every transition is a
    # false alarm of both classes (it is not known which kind the detector meant).
    cuts, gradual = truth["cuts"], truth["gradual"]
    cut_hit, grad_hit = set(), set()
    dup, stray = 0, 0
    for f in found:
        c = next((c for c in cuts if abs(c - f) <= 1 and c not in cut_hit), None)
        if c is not None:
            cut_hit.add(c)
            continue
        g = next((k for k, t in enumerate(gradual) if t["first"] - 1 <= f <= t["last"] + 1), None)
        if g is None:
            stray += 1
        elif g in grad_hit:
            dup += 1
        else:
            grad_hit.add(g)
    cut = prf(len(cut_hit), stray, len(cuts) - len(cut_hit))
    grad = prf(len(grad_hit), stray + dup, len(gradual) - len(grad_hit))
    missed = [f"{t['kind']} {t['first']}-{t['last']}" for k, t in enumerate(gradual) if k not in grad_hit]
    flash_cut = any(abs(f - truth["flash"]) <= 1 for f in found)
    return cut, grad, stray, dup, missed, flash_cut

clip60 = os.path.join(work, "shots_60s.mp4")
clip180 = os.path.join(work, "shots_180s.mp4")
truth60 = make(clip60, 25)
if not os.path.exists(clip180):
    # Only its peak memory is measured: the 60 s clip three times over, joined without re-encoding.
    parts = os.path.join(work, "shots_180s.txt")
    with open(parts, "w") as f:
        f.write(f"file '{clip60}'\n" * 3)
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-f", "concat", "-safe", "0",
                    "-i", parts, "-c", "copy", clip180], check=True)

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
cut, grad, stray, dup, missed, flash_cut = score(ours["cuts"], truth60)

print(f"clip: {clip60} ({truth60['frames']} frames, {len(truth60['cuts'])} hard cuts, {len(truth60['gradual'])} gradual transitions, 1 flash), threads {threads}")
print(f"ours (detection + thumbnails): {ours_t:7.2f} s   thumbnails {ours['thumbnails']}, cache hits {ours['cacheHits']}")
print(f"ffmpeg decode only:           {dec_t:7.2f} s   ratio ours/decode {ratio:.2f} (median of {ROUNDS} rounds, {min(ratios):.2f} to {max(ratios):.2f}; goal <= 0.9)")
print(f"ffmpeg decode, no deblocking: {nodeblock_t:7.2f} s   ratio to decode {statistics.median(floor_ratios):.2f}")
print(f"ffmpeg scene select:          {sel_t:7.2f} s   ratio ours/select {ours_t / sel_t:.2f}")
seconds = truth60["frames"] / RATE
print(f"peak memory: {seconds:.0f} s clip {mem60:.1f} MB, {3 * seconds:.0f} s clip {mem180:.1f} MB")
print(f"hard cuts: precision {cut[0]:.3f} recall {cut[1]:.3f} F1 {cut[2]:.3f}; cut at the flash: {'YES' if flash_cut else 'no'}")
print(f"gradual transitions: precision {grad[0]:.3f} recall {grad[1]:.3f} F1 {grad[2]:.3f}; "
      f"boundaries outside any transition {stray}, second boundaries in one {dup}; missed: {', '.join(missed) or 'none'}")
PY
