#!/usr/bin/env bash
# The scene detection window under thousands of scenes.
#
#   cmake --build BUILD_DIR --target vkscene_dialog_bench vkscenedetect   (configured with -DVK_BUILD_BENCH=ON)
#   bench/run_scene_dialog_bench.sh BUILD_DIR [WORKDIR]
#
# Makes (once, in WORKDIR, default /tmp/vkscene-dialog-bench) two small H.264 clips with a cut every
# 2 s, 1,500 and 3,600 shots long (50 min and 2 h), by copying four different 2 s shots in turn, and
# prints for each the command-line tool's time, the window's time to the last row, their ratio and the
# longest stretch the GUI thread went without returning to its event loop. VK_BENCH_ROUNDS=N (default 1)
# repeats the whole run N times, the tool and the window in turn, and then prints each clip's median
# ratio: on a small shared machine one run's ratio can be off by a tenth either way.
set -euo pipefail

build=${1:?usage: run_scene_dialog_bench.sh BUILD_DIR [WORKDIR]}
work=${2:-/tmp/vkscene-dialog-bench}
build=$(cd "$build" && pwd)
bench_bin="$build/bench/vkscene_dialog_bench"
tool="$build/apps/scenedetect/vkscenedetect"
[ -x "$bench_bin" ] || { echo "missing $bench_bin (build target vkscene_dialog_bench)" >&2; exit 1; }
[ -x "$tool" ] || { echo "missing $tool (build target vkscenedetect)" >&2; exit 1; }
mkdir -p "$work"
cd "$work"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

size=128x72
shots=(
    "testsrc2=s=$size:r=25:d=2"
    "smptebars=s=$size:r=25:d=2"
    "mandelbrot=s=$size:r=25,trim=end_frame=50"
    "color=c=0x3050a0:s=$size:r=25:d=2,drawgrid=w=16:h=16:t=3:c=0xd0c040"
)
for i in "${!shots[@]}"; do
    [ -f "shot$i.mp4" ] || ff -f lavfi -i "${shots[$i]}" -c:v libx264 -preset veryfast -g 50 -pix_fmt yuv420p "shot$i.mp4"
done

clips=()
for count in 1500 3600; do
    clip="cuts-$count.mp4"
    if [ ! -f "$clip" ]; then
        : > "list-$count.txt"
        for ((n = 0; n < count; ++n)); do
            echo "file 'shot$((n % 4)).mp4'" >> "list-$count.txt"
        done
        ff -f concat -safe 0 -i "list-$count.txt" -c copy "$clip"
    fi
    clips+=("$work/$clip")
done

rounds=${VK_BENCH_ROUNDS:-1}
table=$(mktemp)
trap 'rm -f "$table"' EXIT
for ((round = 1; round <= rounds; ++round)); do
    [ "$rounds" -gt 1 ] && echo "round $round of $rounds"
    "$bench_bin" "$tool" "${clips[@]}" | tee -a "$table"
done
if [ "$rounds" -gt 1 ]; then
    # Columns: clip, scenes, cli s, window s, ratio, ...
    for clip in "${clips[@]}"; do
        name=$(basename "$clip")
        awk -v name="$name" '$1 == name { print $5 }' "$table" | sort -n | awk -v name="$name" '
            { ratio[NR] = $1 }
            END {
                middle = int((NR + 1) / 2)
                printf "%s: median ratio %.2f (%.2f to %.2f) over %d rounds\n", name, ratio[middle], ratio[1], ratio[NR], NR
            }'
    done
fi
