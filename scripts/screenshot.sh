#!/usr/bin/env bash
# Takes the picture in the README, docs/screenshot.png: Quintavia against the fixture sites, as
# scripts/demo.sh shows it, on a virtual display of its own (tests/run_in_xvfb.sh), once the
# newest titles are in its log box and the pages have stopped changing. Installs imagemagick
# and x11-utils when they are missing.
#   scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-docs/screenshot.png}")

if [ -z "${QUINTAVIA_SCREENSHOT_DISPLAY:-}" ]; then
    scripts/setup.sh
    needed=()
    command -v import >/dev/null || needed+=(imagemagick)
    command -v xwininfo >/dev/null || needed+=(x11-utils)
    if [ ${#needed[@]} -gt 0 ]; then
        sudo=()
        [ "$(id -u)" -eq 0 ] || sudo=(sudo)
        echo "Installing: ${needed[*]}" >&2
        "${sudo[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${needed[@]}" \
            >/dev/null
    fi
    # The program and the fixture server are all it needs of the build.
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINTAVIA_WERROR=ON \
        -DQUINTAVIA_TESTS=ON >/dev/null
    cmake --build build -j2 --target quintavia fixture_server
    QUINTAVIA_SCREENSHOT_DISPLAY=1 exec tests/run_in_xvfb.sh "$0" "$output"
fi

home=$(mktemp -d)
server=
program=
cleanup() {
    for pid in "$program" "$server"; do
        if [ -n "$pid" ]; then
            kill -TERM "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$home"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache"

build/tests/fixtures/fixture_server --port 0 >"$home/server.out" 2>"$home/server.log" &
server=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p' "$home/server.out")
    [ -n "$port" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
[ -n "$port" ] || { echo "The fixture server did not start" >&2; exit 1; }

export QTWEBENGINE_CHROMIUM_FLAGS="--proxy-server=http://127.0.0.1:$port --no-first-run"
# The engine's sandbox cannot run as root.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
build/src/quintavia >"$home/program.log" 2>&1 &
program=$!

# The window's own client area, as the window manager holds it: no frame, no desktop.
window=
for _ in $(seq 600); do
    window=$(xwininfo -root -tree | awk '/\("quintavia" "Quintavia"\)/ && / 1101x616\+/ {
        print $1; exit }')
    [ -n "$window" ] && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
[ -n "$window" ] || { echo "The window did not appear" >&2; cat "$home/program.log" >&2; exit 1; }

capture() {
    import -window "$window" "png:$1"
}

# Text in the log box: dark pixels on its pale background, left of its arrow.
log_has_text() {
    [ "$(convert "$1" -crop 430x13+231+4 +repage -colorspace Gray -threshold 40% -negate \
        -format '%[fx:mean > 0.02]' info:)" = 1 ]
}

titled=
for _ in $(seq 120); do
    capture "$home/shot.png"
    if log_has_text "$home/shot.png"; then
        titled=1
        break
    fi
    kill -0 "$program" 2>/dev/null || break
    sleep 0.5
done
[ -n "$titled" ] || { echo "No title reached the log box within a minute" >&2; exit 1; }

# The pages settle: two pictures a second apart that are the same.
for _ in $(seq 30); do
    sleep 1
    capture "$home/next.png"
    if [ "$(compare -metric AE "$home/shot.png" "$home/next.png" null: 2>&1 || true)" = 0 ]; then
        break
    fi
    mv "$home/next.png" "$home/shot.png"
done

mkdir -p "$(dirname "$output")"
convert "$home/shot.png" -strip -define png:exclude-chunks=date,time "$output"
echo "$output: $(identify -format '%wx%h' "$output")" >&2
