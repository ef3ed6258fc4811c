#!/usr/bin/env bash
# A long run of the real window, headless, against the fixture sites: the panes are refreshed
# as soon as their pages are in, 500 times unless told otherwise, far faster than the countdown
# would. Prints the memory of the program and the browser engine's processes as it goes, and at
# the end the log entries against the titles the sites served; exits 1 when one was lost, when
# the log box held more than its 500 entries, or when the memory at the end is beyond 1.5 times
# its reading after refresh 100. --hostile serves pages that alert, ask for powers and windows,
# flood their console and reload themselves every second. --boards N shows in panes 2 and 3 two
# boards that add N listings at every load; with them or without, the history is held against
# the listings served (each once, none missing, none never served) and the file of the listings
# seen is measured: exit 1 too when the history is not whole, or when the file holds more keys
# than a site keeps or grew past its bound.
#   scripts/soak.sh [REFRESHES] [--change-every K|K0,K1,K2,K3] [--page-kib P] [--sample-every S]
#                   [--hostile] [--boards N]
set -euo pipefail
cd "$(dirname "$0")/.."

refreshes=${1:-500}
[ $# -gt 0 ] && shift

scripts/setup.sh
QUINTAVIA_TESTS=ON scripts/build.sh

# The engine's sandbox cannot run as root; a normal user keeps it.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QT_QPA_PLATFORM=offscreen
exec build/tests/soak/soak --refreshes "$refreshes" "$@"
