#!/bin/sh
# Runs a command on a private Xvfb server with the xcb platform, so a test
# can talk to other X clients. Xvfb picks a free display number itself.
set -u
fifo=$(mktemp -u) && mkfifo "$fifo" || exit 1
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
server=$!
read -r display <"$fifo"
rm -f "$fifo"
if [ -z "$display" ]; then
    kill "$server" 2>/dev/null
    echo "Xvfb did not start" >&2
    exit 1
fi
DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
