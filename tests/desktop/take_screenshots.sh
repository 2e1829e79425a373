#!/usr/bin/env bash
# Drives the demo host in a real X session and photographs the whole screen with the X server's own
# screenshot tool (xwd), converted to PNG by ImageMagick. Run it inside run_x11_session.sh:
#
#   tests/desktop/run_x11_session.sh -- tests/desktop/take_screenshots.sh DEMO OUTDIR
#
# Every step waits for the window it needs (xdotool search --sync).
set -euo pipefail
demo=$1
out=$2
mkdir -p "$out"
home=$(mktemp -d)
demo_pid=""
cleanup() {
    [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null && wait "$demo_pid" 2>/dev/null
    rm -rf "$home"
}
trap cleanup EXIT

# Waits (10 s at most) for a window whose name matches $1 and prints its id.
window() {
    timeout 10 xdotool search --sync --onlyvisible --name "$1" | head -n1
}
# The screen as the X server shows it. A window is mapped before it has painted itself; the settle
# gives a freshly opened one (slow under the sanitizers) time to draw. A picture, not a test: a
# late paint costs a black rectangle, never a wrong verdict.
#
# Xvfb leaves a transient dialog and a popup list black in a picture of the root window, although
# the windows themselves hold their pictures; each window named after the file name is therefore
# photographed on its own as well and laid over the screen at its place.
shoot() {
    local name=$1
    shift
    sleep 1.5
    xwd -root -silent | convert xwd:- "$out/$name.png"
    local id X Y WIDTH HEIGHT SCREEN
    for id in "$@"; do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        xwd -id "$id" -silent | convert "$out/$name.png" xwd:- -geometry "+$X+$Y" -composite "$out/$name.png"
    done
    echo "take_screenshots: $out/$name.png"
}
# Clicks at x y relative to the window $1 (positions in the demo's windows at a scale of 1).
click_in() {
    local x y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --sync $((X + $2)) $((Y + $3)) click 1
}

# The desktop's own background, so that the windows stand out in the pictures.
xsetroot -solid '#4a5560' 2>/dev/null || true

VK_HOME="$home" "$demo" &
demo_pid=$!

startup=$(window 'VkPopupDialog Demo')
shoot desktop-startup

# New Project: the startup window ends and the main window opens.
click_in "$startup" 100 276
main=$(window '^VkPopupDialog Demo$')
xdotool mousemove 5 5
shoot desktop-main

# The media list opens under its box; it is the window under the pointer then.
click_in "$main" 357 282
sleep 0.5
eval "$(xdotool getmouselocation --shell)"
shoot desktop-media-list "$WINDOW"
xdotool key Escape

# Project settings, centred on the main window; Tab shows the focus on the first stop.
xdotool search --sync --onlyvisible --name '^VkPopupDialog Demo$' >/dev/null
click_in "$main" 265 508
settings=$(window 'Project Settings')
xdotool mousemove 5 5
xdotool key Tab
shoot desktop-project-settings "$settings"
xdotool key Escape
