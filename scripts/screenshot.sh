#!/bin/sh
# Draws docs/screenshot.png, the README's picture of the desktop program: a
# grey picture and the same levels through the false-colour palette, side by
# side, on a private Xvfb server, taken with ImageMagick's import.
# Usage: scripts/screenshot.sh [BUILD_FOLDER]   (build/release by default,
# as `make build` leaves it). Needs Xvfb, xdotool and ImageMagick.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
work=$(mktemp -d)
server=""
program=""
finish() {
    [ -z "$program" ] || kill "$program" 2>/dev/null || true
    [ -z "$server" ] || kill "$server" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 1' HUP INT TERM

# The pictures: a fractal relief in 256 grey levels, and its false colours.
convert -seed 7 -size 480x480 plasma:fractal -blur 0x2 -colorspace Gray -depth 8 \
    "$work/relief.png"
"$build/cli/orvex-cli" "$work/relief.png" --palette rainbow -o "$work/relief-colours.png"

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x640x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
read -r display <"$work/display"
export DISPLAY=":$display"

# Settings of its own, so the user's recent files stay out of the picture.
cd "$work"
XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=xcb "$build/app/orvex" -Embedding \
    relief.png relief-colours.png &
program=$!
window=$(xdotool search --sync --onlyvisible --name 'Orvex')
xdotool windowmove "$window" 0 0 windowsize "$window" 1024 640
sleep 2
xdotool windowfocus "$window"
# "Mosaïque verticale": the two pictures side by side.
xdotool key --window "$window" alt+n
sleep 0.5
xdotool key --window "$window" v
sleep 1
import -window root "$root/docs/screenshot.png"
echo "docs/screenshot.png"
