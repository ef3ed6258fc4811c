#!/usr/bin/env bash
# Makes the alert sounds in data/sounds: 0.wav to 3.wav for the grid's four sites in pane order,
# <id>.wav for each preset of the built-in catalogue (src/core/sites/site_rules.cpp), each a two-note
# chime of the site's own and then its name spoken in Italian, and chime.wav, a chime alone, for
# the sites a user adds. Each lasts under a second, 16-bit PCM, mono, 16 kHz. Installs sox and
# espeak-ng when they are missing.
# The files are kept in the repository; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")/.."

needed=()
command -v sox >/dev/null || needed+=(sox)
command -v espeak-ng >/dev/null || needed+=(espeak-ng)
if [ ${#needed[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${needed[*]}" >&2
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${needed[@]}" >/dev/null
fi

# file, spoken name, and the chime's two notes (Hz): each site rises or falls by an interval of
# its own, so that they tell apart before the name is heard. An empty name: the chime alone.
sites=(
    "0|Mio Job|784 1047"
    "1|Jobrapido|1047 784"
    "2|Jobonline|659 988"
    "3|InfoJobs|988 659"
    "jobrapido-2025|Jobrapido|1047 784"
    "indeed|Indeed|698 1047"
    "linkedin|LinkedIn|1047 698"
    "subito|Subito|587 880"
    "randstad|Randstad|880 587"
    "gigroup|Gi Group|740 1109"
    "adzuna|Adzuna|1109 740"
    "manpower|Manpower|622 932"
    "chime||880 1175"
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p data/sounds
rate=16000
# -D: no dither, so that the same tools make the same bytes each time.
sox_out=(-D -b 16 -c 1 -r "$rate")
for entry in "${sites[@]}"; do
    IFS='|' read -r file name notes <<<"$entry"
    read -r low high <<<"$notes"
    out="data/sounds/$file.wav"
    sox -n "${sox_out[@]}" "$work/a.wav" synth 0.09 sine "$low" fade q 0.005 0.09 0.03
    sox -n "${sox_out[@]}" "$work/b.wav" synth 0.11 sine "$high" fade q 0.005 0.11 0.05
    if [ -n "$name" ]; then
        sox -n "${sox_out[@]}" "$work/gap.wav" trim 0 0.04
        espeak-ng -v it -s 210 -w "$work/voice-raw.wav" "$name"
        # The voice without the silence around it.
        sox "$work/voice-raw.wav" "${sox_out[@]}" "$work/voice.wav" \
            silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse
        sox "$work/a.wav" "$work/b.wav" "$work/gap.wav" "$work/voice.wav" "${sox_out[@]}" \
            "$out" gain -n -3 fade q 0 -0 0.02
    else
        sox "$work/a.wav" "$work/b.wav" "${sox_out[@]}" "$out" gain -n -3 fade q 0 -0 0.02
    fi
    seconds=$(soxi -D "$out")
    if ! awk -v s="$seconds" 'BEGIN { exit !(s < 1) }'; then
        echo "$out lasts $seconds s, a second or more" >&2
        exit 1
    fi
    echo "$out: ${name:-a chime alone}, $seconds s" >&2
done
