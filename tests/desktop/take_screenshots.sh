#!/usr/bin/env bash
# Drives the demo host in a real X session and photographs the whole screen with the X server's own
# screenshot tool (xwd), converted to PNG by ImageMagick. Run it inside run_x11_session.sh:
#
#   tests/desktop/run_x11_session.sh -- tests/desktop/take_screenshots.sh DEMO OUTDIR
#
# Every step waits for the window it needs (xdotool search --sync) instead of sleeping blindly.
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
# The screen as the X server shows it. A short settle lets the last repaint reach the server.
shoot() {
    xdotool sync >/dev/null 2>&1 || true
    sleep 0.3
    xwd -root -silent | convert xwd:- "$out/$1.png"
    echo "take_screenshots: $out/$1.png"
}
# Clicks at x y relative to the window $1.
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
click_in "$startup" 100 281
main=$(window '^VkPopupDialog Demo$')
xdotool mousemove 5 5
shoot desktop-main

# The media list opens under its box.
click_in "$main" 300 270
shoot desktop-media-list
xdotool key Escape

# Project settings, centred on the main window; Tab shows the focus on the first stop.
xdotool search --sync --onlyvisible --name '^VkPopupDialog Demo$' >/dev/null
click_in "$main" 200 400
settings=$(window 'Project Settings')
xdotool mousemove 5 5
xdotool key Tab
shoot desktop-project-settings
xdotool key Escape
