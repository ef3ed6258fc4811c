#!/usr/bin/env bash
# Installs the build into a prefix of its own and checks what a user would get there: the
# files and nothing else, a desktop entry and AppStream data that their validators accept,
# the icons at their sizes, sounds that the program finds from its own folder and that load,
# and the installed program itself starting, running and ending on SIGTERM with status 0.
#   install_test.sh BUILD_DIR SOURCE_DIR SOUND_PROBE FIXTURE_SERVER
set -euo pipefail

build=$1
source=$2
probe=$3
fixture_server=$4
app_id=it.norvello.Quintavia

work=$(mktemp -d)
server=
program=
cleanup() {
    for pid in "$program" "$server"; do
        if [ -n "$pid" ]; then
            kill -KILL "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Waits up to $1 seconds for the process $2 to end; false if it is still running then.
await_exit() {
    timeout "$1" tail --pid="$2" -s 0.1 -f /dev/null || [ $? -ne 124 ]
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

echo "== the installed files" >&2
(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed"
LC_ALL=C sort "$source/tests/install/installed_files.txt" >"$work/expected"
diff -u "$work/expected" "$work/installed" >&2 || fail "the installation holds other files"
if readelf -d "$prefix/bin/quintavia" | grep -F "$(cd "$build" && pwd -P)"; then
    fail "the installed program still looks for libraries in the build folder"
fi

echo "== the desktop entry" >&2
desktop=$prefix/share/applications/$app_id.desktop
desktop-file-validate "$desktop" >"$work/desktop.out" 2>&1 || fail "desktop-file-validate"
cat "$work/desktop.out" >&2
grep -q -E ': (error|warning): ' "$work/desktop.out" && fail "desktop-file-validate complained"
for line in "Exec=quintavia" "Icon=$app_id" "StartupWMClass=Quintavia" "Type=Application"; do
    grep -q -x -F "$line" "$desktop" || fail "the desktop entry lacks $line"
done
for key in Name Name\\[it\\] Comment Comment\\[it\\] Categories; do
    grep -q -E "^$key=.+" "$desktop" || fail "the desktop entry lacks ${key//\\/}"
done

echo "== the AppStream data" >&2
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >&2 ||
    fail "appstreamcli validate"

echo "== the icons" >&2
for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    file -b "$icon" | grep -q "^PNG image data, $size x $size," ||
        fail "$icon is not a $size px PNG: $(file -b "$icon")"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "no SVG icon"

echo "== the sounds, as the program finds them from its own folder" >&2
cp "$probe" "$prefix/bin/sound_probe"
"$prefix/bin/sound_probe" "$prefix/share/quintavia/sounds" 2>"$work/probe.err" ||
    fail "the installed sounds"
# The probe itself tells a sound that does not load: a copy with a broken one.
cp -a "$prefix" "$work/broken"
echo "RIFF, but no wave in it" >"$work/broken/share/quintavia/sounds/2.wav"
if "$work/broken/bin/sound_probe" "$work/broken/share/quintavia/sounds" \
    >"$work/broken.out" 2>&1 || ! grep -q "^FAIL site 2: .*Error" "$work/broken.out"; then
    cat "$work/broken.out" >&2
    fail "the probe did not notice a broken sound"
fi
rm -f "$prefix/bin/sound_probe"

echo "== the installed program runs" >&2
# The fixture sites stand in for the job sites: the four pages asked of them show that the
# program is up and its event loop running, its signal handling included.
"$fixture_server" --port 0 >"$work/server.out" 2>"$work/server.log" &
server=$!
port=
for _ in $(seq 300); do
    port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p' "$work/server.out")
    [ -n "$port" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$port" ]; then
    cat "$work/server.log" >&2
    fail "the fixture server did not start"
    exit 1
fi

home=$work/home
(
    export QT_QPA_PLATFORM=offscreen
    export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache
    export QTWEBENGINE_CHROMIUM_FLAGS="--proxy-server=http://127.0.0.1:$port --no-first-run \
--disable-background-networking"
    # The engine's sandbox cannot run as root.
    if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
    cd "$work"
    exec "$prefix/bin/quintavia"
) >"$work/program.out" 2>"$work/program.err" &
program=$!

site_request='^GET http://(miojob\.repubblica\.it|it\.jobrapido\.com|www\.jobonline\.it|www\.infojobs\.it)/'
pages=0
for _ in $(seq 1200); do
    pages=$(grep -v favicon "$work/server.log" | grep -c -E "$site_request" || true)
    [ "$pages" -ge 4 ] && break
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if [ "$pages" -lt 4 ]; then
    fail "the installed program asked for $pages pages of four within two minutes"
elif await_exit 3 "$program"; then
    fail "the installed program ended by itself"
else
    kill -TERM "$program"
    if await_exit 60 "$program"; then
        status=0
        wait "$program" || status=$?
        program=
        [ "$status" -eq 0 ] || fail "the installed program exited with status $status on SIGTERM"
        [ -s "$home/config/Quintavia/Quintavia.ini" ] ||
            fail "the installed program left no settings file"
    else
        fail "the installed program did not end within a minute of SIGTERM"
    fi
fi
if [ "$failures" -gt 0 ]; then
    echo "== the program's standard error" >&2
    tail -n 40 "$work/program.err" >&2
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures checks failed" >&2
    exit 1
fi
echo "all checks passed" >&2
