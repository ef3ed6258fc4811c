#!/usr/bin/env bash
# Prints figures of the whole program against the fixture sites; it judges nothing.
#  1. Memory with the four panes loaded (the program and the browser engine's processes), beside
#     Debian's Chromium holding the same four pages in four tabs, both measured the same way in
#     the same run: the PSS (each shared page split among the processes that map it) and the RSS
#     of each program's whole process tree, a few rounds taken in turn.
#  2. Start-up time to the four first finished downloads, over several starts.
#  3. CPU time used while idling between countdown ticks with the pages loaded, beside Chromium
#     idling with its four tabs, as a share of one core.
# The program is measured twice in each: with its four panes alone, and with eight more sites
# watched without a pane (boards of a sites file, on the fixture's hosts).
# Both programs show real windows on one virtual display. Chromium is installed when missing.
# Run it on a quiet machine: the figures take the machine's load along.
#   ROUNDS=3 STARTS=10 IDLE_SECONDS=60 SETTLE_SECONDS=10 scripts/figures.sh
# SKIP_BUILD=1 takes build/ as it stands (the program, tree_usage, fixture_server, startup_clock).
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${ROUNDS:-3}
starts=${STARTS:-10}
idle_seconds=${IDLE_SECONDS:-60}
settle_seconds=${SETTLE_SECONDS:-10}

if [ "${SKIP_BUILD:-0}" != 1 ]; then
    scripts/setup.sh
    QUINTAVIA_TESTS=ON scripts/build.sh
fi
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if ! command -v chromium >/dev/null; then
    echo "Installing: chromium" >&2
    { "${sudo[@]}" apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq chromium >/dev/null; } ||
        echo "Chromium could not be installed: its figures are left out" >&2
fi

home=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT

# The four job sites, as the fixture server logs the requests for their pages.
site_request='^GET http://(miojob\.repubblica\.it|it\.jobrapido\.com|www\.jobonline\.it|www\.infojobs\.it)/'

build/tests/fixtures/fixture_server --port 0 >"$home/server.out" 2>"$home/server.log" &
pids+=($!)
port=
for _ in $(seq 100); do
    port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p' "$home/server.out")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "The fixture server did not start" >&2; exit 1; }
proxy="--proxy-server=http://127.0.0.1:$port"

if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$home/display" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$home/display" ] && break; sleep 0.1; done
    [ -s "$home/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    DISPLAY=":$(cat "$home/display")"
    export DISPLAY
fi
export QT_QPA_PLATFORM=xcb

# The engines' sandboxes cannot run as root: both programs go without there, and keep them
# otherwise.
chromium_sandbox=()
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
    chromium_sandbox=(--no-sandbox)
fi

# Becomes the program, or a build like it, with settings and browser data of its own; run in
# a subshell, whose process id is then the program's.
exec_with_own_folders() {
    local dir
    dir=$(mktemp -d "$home/quintavia.XXXX")
    XDG_CONFIG_HOME="$dir/config" XDG_DATA_HOME="$dir/data" XDG_CACHE_HOME="$dir/cache" \
        QTWEBENGINE_CHROMIUM_FLAGS="$proxy --disable-background-networking --no-first-run" \
        exec "$@"
}

# Waits until the fixture server has logged `pages` page requests (four unless given) past
# byte `from` of its log.
wait_for_pages() {
    local from=$1 pages=${2:-4}
    for _ in $(seq 600); do
        [ "$(tail -c +"$((from + 1))" "$home/server.log" | grep -v favicon |
            grep -cE "$site_request")" -ge "$pages" ] && return 0
        sleep 0.1
    done
    echo "The $pages pages were not asked for within a minute" >&2
    return 1
}

# "processes rss_kib pss_kib cpu_ms" of a process tree.
usage() {
    build/tests/soak/tree_usage "$1" | sed 's/[a-z_]*=//g'
}

stop() {
    kill -TERM "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
    # The engine's helpers leave after their parent; let them go before the next start.
    sleep 2
}

# min, median and max of the numbers on standard input, one a line.
stats() {
    sort -g | awk '{ v[NR] = $1 } END {
        printf "min %8.1f  median %8.1f  max %8.1f", v[1], v[int((NR + 1) / 2)], v[NR] }'
}

# Runs one program until its four pages are in, reads its tree, and with "idle" also the CPU
# time it uses over idle_seconds. Leaves "pss_kib rss_kib processes [idle_percent]" in
# $home/measured.
measure() {
    local idle=$1 pages=$2
    shift 2
    local from pid processes rss pss cpu0 cpu1 line
    from=$(stat -c %s "$home/server.log")
    ("$@") >>"$home/programs.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    if ! wait_for_pages "$from" "$pages"; then
        stop "$pid"
        return 1
    fi
    sleep "$settle_seconds"
    read -r processes rss pss cpu0 < <(usage "$pid")
    line="$pss $rss $processes"
    if [ "$idle" = idle ]; then
        sleep "$idle_seconds"
        read -r _ _ _ cpu1 < <(usage "$pid")
        line="$line $(awk -v c="$((cpu1 - cpu0))" -v s="$idle_seconds" \
            'BEGIN { printf "%.2f", c / (s * 10) }')"
    fi
    stop "$pid"
    echo "$line" >"$home/measured"
}

run_quintavia() {
    exec_with_own_folders build/src/quintavia
}

# Eight boards past the four panes, two on each fixture host, each its own search.
run_quintavia_twelve() {
    local dir=$home/twelve-config/Quintavia
    mkdir -p "$dir"
    : >"$dir/siti.ini"
    printf '[Siti]\n' >"$dir/Quintavia.ini"
    local n=0 host
    for host in miojob.repubblica.it it.jobrapido.com www.jobonline.it www.infojobs.it; do
        for k in 1 2; do
            printf '[bacheca-%d]\nnome = Bacheca %d\nindirizzo = http://%s/?bacheca=%d\n' \
                "$n" "$n" "$host" "$n" >>"$dir/siti.ini"
            printf 'dominio = %s\nselettore = a\n' "${host#www.}" >>"$dir/siti.ini"
            printf '%d=bacheca-%d\n' "$((4 + n))" "$n" >>"$dir/Quintavia.ini"
            n=$((n + 1))
            : "$k"
        done
    done
    XDG_CONFIG_HOME="$home/twelve-config" XDG_DATA_HOME="$home/twelve-data" \
        XDG_CACHE_HOME="$home/twelve-cache" \
        QTWEBENGINE_CHROMIUM_FLAGS="$proxy --disable-background-networking --no-first-run" \
        exec build/src/quintavia
}

run_chromium() {
    local data
    data=$(mktemp -d "$home/chromium.XXXX")
    # Its launcher execs the browser itself. The addresses are loaded as given, without first
    # trying https, as Quintavia does.
    exec chromium "${chromium_sandbox[@]}" --disable-gpu --no-first-run \
        --no-default-browser-check --disable-background-networking --disable-component-update \
        --disable-sync --disable-features=HttpsUpgrades --password-store=basic \
        --user-data-dir="$data" "$proxy" "${addresses[@]}"
}

echo "Load before the figures: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5 and 15 minutes)"
echo "Chromium: $(chromium --version 2>/dev/null | head -1)"

# The first round of the program gives the four addresses it asks for, for Chromium's tabs.
q_pss=() q_rss=() c_pss=() c_rss=() t_pss=() t_rss=()
q_idle='' c_idle='' t_idle=''
addresses=()
echo
echo "1. Memory with the four pages loaded (MiB; $settle_seconds s after the four requests)"
for round in $(seq "$rounds"); do
    mode=busy
    [ "$round" -eq 1 ] && mode=idle
    measure "$mode" 4 run_quintavia
    read -r pss rss processes idle <"$home/measured"
    q_pss+=("$pss") q_rss+=("$rss")
    [ "$round" -eq 1 ] && q_idle=$idle
    if [ ${#addresses[@]} -eq 0 ]; then
        mapfile -t addresses < <(grep -E "$site_request" "$home/server.log" | grep -v favicon |
            head -4 | cut -d' ' -f2)
    fi
    printf "  round %d  Quintavia: PSS %7.1f  RSS %7.1f  (%d processes)\n" "$round" \
        "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" "$processes"
    rm -rf "$home/twelve-config" "$home/twelve-data" "$home/twelve-cache"
    measure "$mode" 12 run_quintavia_twelve
    read -r pss rss processes idle <"$home/measured"
    t_pss+=("$pss") t_rss+=("$rss")
    [ "$round" -eq 1 ] && t_idle=$idle
    printf "  round %d  Quintavia, 4 panes + 8 sites: PSS %7.1f  RSS %7.1f  (%d processes)\n" \
        "$round" "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" \
        "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" "$processes"
    if command -v chromium >/dev/null; then
        measure "$mode" 4 run_chromium
        read -r pss rss processes idle <"$home/measured"
        c_pss+=("$pss") c_rss+=("$rss")
        [ "$round" -eq 1 ] && c_idle=$idle
        printf "  round %d  Chromium:  PSS %7.1f  RSS %7.1f  (%d processes)\n" "$round" \
            "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" \
            "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" "$processes"
    fi
done
mib() { for kib in "$@"; do awk -v k="$kib" 'BEGIN { print k / 1024 }'; done; }
echo "  Quintavia PSS: $(mib "${q_pss[@]}" | stats)"
echo "  12 sites  PSS: $(mib "${t_pss[@]}" | stats)"
echo "  Quintavia RSS: $(mib "${q_rss[@]}" | stats)"
echo "  12 sites  RSS: $(mib "${t_rss[@]}" | stats)"
twelve=()
for i in "${!q_pss[@]}"; do
    twelve+=("$(awk -v a="${t_pss[$i]}" -v b="${q_pss[$i]}" 'BEGIN { print a / b }')")
done
echo "  12 sites / 4 panes, PSS round by round: $(printf '%s\n' "${twelve[@]}" |
    sort -g | awk '{ v[NR] = $1 } END { printf "median %.2f (min %.2f, max %.2f)",
        v[int((NR + 1) / 2)], v[1], v[NR] }')"
if [ ${#c_pss[@]} -gt 0 ]; then
echo "  Chromium  PSS: $(mib "${c_pss[@]}" | stats)"
echo "  Chromium  RSS: $(mib "${c_rss[@]}" | stats)"
ratios=()
for i in "${!q_pss[@]}"; do
    ratios+=("$(awk -v a="${q_pss[$i]}" -v b="${c_pss[$i]}" 'BEGIN { print a / b }')")
done
echo "  Quintavia / Chromium, PSS round by round: $(printf '%s\n' "${ratios[@]}" |
    sort -g | awk '{ v[NR] = $1 } END { printf "median %.2f (min %.2f, max %.2f)",
        v[int((NR + 1) / 2)], v[1], v[NR] }')"
fi
echo "  The four addresses: ${addresses[*]}"

echo
echo "2. Start-up to the four first finished downloads (ms, $starts starts)"
whole=() from_main=()
for _ in $(seq "$starts"); do
    started=$(date +%s%N)
    out=$(exec_with_own_folders build/tests/bench/startup_clock 2>>"$home/programs.log")
    complete=$(sed -n 's/.*downloads_complete_ns=\([0-9]*\).*/\1/p' <<<"$out")
    [ -n "$complete" ] || { echo "  a start did not finish its downloads" >&2; continue; }
    whole+=("$(awk -v a="$started" -v b="$complete" 'BEGIN { print (b - a) / 1e6 }')")
    from_main+=("$(sed -n 's/.*from_main_ms=\([0-9]*\).*/\1/p' <<<"$out")")
    sleep 1
done
echo "  from starting the process: $(printf '%s\n' "${whole[@]}" | stats)"
echo "  from entering main():      $(printf '%s\n' "${from_main[@]}" | stats)"

echo
echo "3. CPU while idling with the pages loaded (% of one core, over $idle_seconds s)"
echo "  Quintavia, between countdown ticks: $q_idle"
echo "  Quintavia, 4 panes + 8 sites:       $t_idle"
echo "  Chromium, four tabs:                $c_idle"
echo
echo "Load after the figures: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5 and 15 minutes)"
