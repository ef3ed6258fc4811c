#!/usr/bin/env bash
# Sets up what is missing, builds Quintavia and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
QUINTAVIA_TESTS=OFF scripts/build.sh

# The engine's sandbox cannot run as root; a normal user keeps it.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Quintavia on a virtual one (xvfb-run)." >&2
    exec xvfb-run -a -s "-screen 0 1280x800x24" build/src/quintavia
fi
exec build/src/quintavia
