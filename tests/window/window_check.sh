#!/bin/sh
# Runs the window example under a virtual X server for a few frames, takes a
# screenshot of its window with xwd and compares it with the same frame drawn
# off-screen. Exit 77 (skipped) where Xvfb or xwd are missing.
#
#   window_check.sh WINDOW XWD_COMPARE WORK_DIR
set -u
window=$1 compare=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
# Under the sanitizers: fontconfig's own unfreed bytes are no finding, and
# neither are those SDL, Xlib and D-Bus keep until the windowed run exits.
LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/../lsan.supp} && export LSAN_OPTIONS
frame=5
for tool in Xvfb xwd; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed (xvfb, x11-apps)"
        exit 77
    fi
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

# The server tells its display number once it accepts clients.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>display >xvfb.log 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
tries=0
while [ ! -s display ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 $server 2>/dev/null; then
        echo "Xvfb did not start:" && cat xvfb.log
        exit 1
    fi
    sleep 0.1
done
DISPLAY=:$(cat display) && export DISPLAY
SDL_VIDEODRIVER=x11 && export SDL_VIDEODRIVER

# The window holds its last frame while its input stays open.
mkfifo hold
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$window" --frames $frame <hold >shown 2>window.log &
client=$!
exec 4>hold
tries=0
until grep -q "shown $frame" shown 2>/dev/null; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ] || ! kill -0 $client 2>/dev/null; then
        echo "the window did not show frame $frame:" && cat window.log
        exit 1
    fi
    sleep 0.05
done
xwd -silent -name "vudadive2r window" -out shot.xwd
shot=$?
exec 4>&-
wait $client || { echo "the window failed:" && cat window.log; exit 1; }
[ $shot -eq 0 ] || { echo "xwd failed"; exit 1; }

"$window" --offscreen $frame frame.ppm || exit 1
"$compare" shot.xwd frame.ppm
