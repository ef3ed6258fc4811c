#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quintavia need.
# Only what is missing is installed, so a second run costs nothing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
    qt6-base-dev qt6-webengine-dev qt6-multimedia-dev libgl-dev
    qt6-translations-l10n  # Qt's own texts in Italian
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth openbox
    fonts-liberation
    dpkg-dev file desktop-file-utils appstream
    dbus-daemon  # the end-to-end tests start a session bus of their own
)
# What the program reads as it runs: the lists of advertisements, trackers and malware
# addresses that its blocking uses, and the Public Suffix List. The lists' package recommends
# Chromium, which Quintavia never runs: these come without what they recommend.
lists=(webext-ublock-origin-chromium publicsuffix)

missing() {
    for package in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
        [ "$status" = "install ok installed" ] || echo "$package"
    done
}
mapfile -t missing_packages < <(missing "${packages[@]}")
mapfile -t missing_lists < <(missing "${lists[@]}")
[ ${#missing_packages[@]} -eq 0 ] && [ ${#missing_lists[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing_packages[*]} ${missing_lists[*]}" >&2
"${sudo[@]}" apt-get update -qq
if [ ${#missing_packages[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing_packages[@]}" \
        >/dev/null
fi
if [ ${#missing_lists[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing_lists[@]}" >/dev/null
fi
