#!/usr/bin/env bash
# Runs a command on a virtual X display of its own (Xvfb, 1280x800, 24 bits), with openbox
# managing its windows when openbox is installed, and exits with the command's status.
#   tests/run_in_xvfb.sh COMMAND [ARG...]
# The command finds the display in DISPLAY and XAUTHORITY, and Qt programs use it through
# QT_QPA_PLATFORM=xcb. Only clients holding the display's cookie may connect to it.
set -uo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARG...]" >&2
    exit 2
fi

work=$(mktemp -d)
xvfb=
wm=
command=
stop() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    wait "$pid" 2>/dev/null
}
cleanup() {
    stop "$command"
    stop "$wm"
    stop "$xvfb"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# The server takes the cookie from its own authority file whichever display number it gets;
# the number is known only once it has started, and the clients' file is written then.
cookie=$(mcookie)
: >"$work/server-auth"
: >"$work/client-auth"
xauth -q -f "$work/server-auth" add :0 . "$cookie"

# Xvfb writes the number of the free display it chose once it accepts connections; reading it
# from a pipe waits exactly that long, and an Xvfb that fails closes the pipe unwritten.
mkfifo "$work/display-fifo" "$work/wm-fifo"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -auth "$work/server-auth" \
    3>"$work/display-fifo" 2>"$work/xvfb.log" &
xvfb=$!
number=
read -r -t 60 number <"$work/display-fifo"
if [ -z "$number" ]; then
    echo "$0: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

export DISPLAY=":$number"
export XAUTHORITY="$work/client-auth"
xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"
export QT_QPA_PLATFORM=xcb

if command -v openbox >/dev/null; then
    # Openbox runs its start-up command once it manages the screen. It holds the pipe's other
    # end itself, so an openbox that fails closes the pipe without a word.
    openbox --sm-disable --startup "sh -c 'echo up >$work/wm-fifo'" \
        5>"$work/wm-fifo" >"$work/openbox.log" 2>&1 &
    wm=$!
    ready=
    read -r -t 60 ready <"$work/wm-fifo"
    if [ "$ready" != up ]; then
        echo "$0: openbox did not start:" >&2
        cat "$work/openbox.log" >&2
        exit 1
    fi
fi

# In the background, so that a signal to this script reaches the traps (and the command) at
# once rather than when the command ends.
"$@" <&0 &
command=$!
wait "$command"
status=$?
command=
exit $status
