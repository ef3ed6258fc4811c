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

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}" >&2
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
