#!/usr/bin/env bash
# Makes the four alert sounds, data/sounds/0.wav to 3.wav, one per site in the site table's
# order: a two-note chime of the site's own, then its name spoken in Italian. Each lasts under
# a second, 16-bit PCM, mono, 16 kHz. Installs sox and espeak-ng when they are missing.
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

names=("Mio Job" "Jobrapido" "Jobonline" "InfoJobs")
# The chimes' two notes (Hz): each site rises or falls by an interval of its own, so that the
# four tell apart before the name is heard.
chimes=("784 1047" "1047 784" "659 988" "988 659")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p data/sounds
rate=16000
# -D: no dither, so that the same tools make the same bytes each time.
sox_out=(-D -b 16 -c 1 -r "$rate")
for site in 0 1 2 3; do
    read -r low high <<<"${chimes[$site]}"
    sox -n "${sox_out[@]}" "$work/a.wav" synth 0.09 sine "$low" fade q 0.005 0.09 0.03
    sox -n "${sox_out[@]}" "$work/b.wav" synth 0.11 sine "$high" fade q 0.005 0.11 0.05
    sox -n "${sox_out[@]}" "$work/gap.wav" trim 0 0.04
    espeak-ng -v it -s 210 -w "$work/voice-raw.wav" "${names[$site]}"
    # The voice without the silence around it.
    sox "$work/voice-raw.wav" "${sox_out[@]}" "$work/voice.wav" \
        silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse
    sox "$work/a.wav" "$work/b.wav" "$work/gap.wav" "$work/voice.wav" "${sox_out[@]}" \
        "data/sounds/$site.wav" gain -n -3 fade q 0 -0 0.02
    seconds=$(soxi -D "data/sounds/$site.wav")
    if ! awk -v s="$seconds" 'BEGIN { exit !(s < 1) }'; then
        echo "data/sounds/$site.wav lasts $seconds s, a second or more" >&2
        exit 1
    fi
    echo "data/sounds/$site.wav: ${names[$site]}, $seconds s" >&2
done
