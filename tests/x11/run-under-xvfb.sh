#!/bin/sh
# Runs a command on a private Xvfb server with the xcb platform, so a test
# can talk to other X clients. Xvfb picks a free display number itself.
# Neither the server nor the command outlives the script, however it ends:
# at its own end or on a signal it ends both itself, and should it be
# killed outright the kernel kills them with it.
set -u
fifo=$(mktemp -u) && mkfifo "$fifo" || exit 1
server='' program=''
end() {
    [ -n "$program" ] && kill "$program" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -f "$fifo"
}
trap end EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
setpriv --pdeathsig KILL Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
server=$!
read -r display <"$fifo"
if [ -z "$display" ]; then
    echo "Xvfb did not start" >&2
    exit 1
fi
# In the background, so that a signal is answered at once rather than when
# the command ends.
DISPLAY=":$display" QT_QPA_PLATFORM=xcb setpriv --pdeathsig KILL "$@" &
program=$!
wait "$program"
status=$?
program=''
exit $status
