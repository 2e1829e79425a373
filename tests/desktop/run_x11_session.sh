#!/usr/bin/env bash
# Runs a program inside a private X session: Xvfb on a free display, the openbox window manager,
# QT_QPA_PLATFORM=xcb. Both servers are stopped however the program ends.
#
#   run_x11_session.sh [--size WxH] [--scale F] -- PROGRAM [ARGS...]
#
# --scale sets QT_SCALE_FACTOR. Exit code: the program's; 77 when Xvfb, openbox or xdotool is not
# installed.
#
# Xvfb cannot show two monitors side by side: it ignores RandR monitors set with xrandr, and the
# heads of its Xinerama mode all start at (0, 0). A wide screen (--size 3840x1080) stands in for a
# desktop with a second display to the right.
set -uo pipefail

size=1920x1080
scale=""
while [ $# -gt 0 ]; do
    case "$1" in
        --size) size=$2; shift 2 ;;
        --scale) scale=$2; shift 2 ;;
        --) shift; break ;;
        *) echo "run_x11_session: unknown option $1" >&2; exit 2 ;;
    esac
done
[ $# -gt 0 ] || { echo "run_x11_session: no program given" >&2; exit 2; }

for tool in Xvfb openbox xdotool xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "run_x11_session: $tool is not installed (scripts/deps installs it); skipping" >&2
        exit 77
    fi
done

# Every wait below polls its condition and gives up after this many tenths of a second.
readonly max_tenths=100
workdir=$(mktemp -d)
xvfb_pid=""
wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and writes its number to the given descriptor once it listens.
exec {display_fd}<> "$workdir/display"
Xvfb -displayfd "$display_fd" -screen 0 "${size}x24" -nolisten tcp +extension RANDR \
    >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq $max_tenths); do
    display=$(head -n1 "$workdir/display" 2>/dev/null | tr -d '[:space:]')
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
exec {display_fd}>&-
if [ -z "$display" ]; then
    echo "run_x11_session: Xvfb did not start" >&2
    cat "$workdir/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$display"
# The server answers requests before the window manager is started on it.
for _ in $(seq $max_tenths); do
    xprop -root >/dev/null 2>&1 && break
    sleep 0.1
done

# The window manager is ready once it has announced itself on the root window. Now and then it
# cannot connect to a server that has only just started answering; it is then started again.
ready=""
for _attempt in 1 2 3; do
    openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq $max_tenths); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
            ready=yes
            break
        fi
        kill -0 "$wm_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$ready" ] && break
    kill "$wm_pid" 2>/dev/null
    wait "$wm_pid" 2>/dev/null
    wm_pid=""
    sleep 0.5
done
if [ -z "$ready" ]; then
    echo "run_x11_session: openbox did not start on :$display" >&2
    cat "$workdir/openbox.log" "$workdir/xvfb.log" >&2
    exit 1
fi

export QT_QPA_PLATFORM=xcb
[ -n "$scale" ] && export QT_SCALE_FACTOR="$scale"
"$@"
