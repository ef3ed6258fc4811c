#!/usr/bin/env bash
# Starts Quintavia offline, against the bundled fixture sites: a local server stands in for
# the four job sites, and the browser engine reaches it through its proxy switch. Each site's
# newest listing changes every few loads; press "Aggiorna" to load the pages again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# The fixture server comes with the tests; the sanitizer build is not needed here.
QUINTAVIA_TESTS=ON QUINTAVIA_SANITIZE_TREE=OFF scripts/build.sh

# The demo keeps its settings and browser data apart from the user's own.
home=$(mktemp -d)
server=
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
    rm -rf "$home"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache"

build/tests/fixtures/fixture_server --port 0 --change-every "${CHANGE_EVERY:-2}" \
    >"$home/server.out" 2>"$home/server.log" &
server=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p' "$home/server.out")
    [ -n "$port" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "The fixture server did not start:" >&2
    cat "$home/server.log" >&2
    exit 1
fi
echo "Fixture sites on 127.0.0.1:$port. New titles appear in the log box; press Aggiorna" \
    "to load the pages again." >&2

export QTWEBENGINE_CHROMIUM_FLAGS="--proxy-server=http://127.0.0.1:$port --no-first-run"
# The engine's sandbox cannot run as root; a normal user keeps it.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Quintavia on a virtual one (xvfb-run)." >&2
    xvfb-run -a -s "-screen 0 1280x800x24" build/src/quintavia
else
    build/src/quintavia
fi
