#!/usr/bin/env bash
# Configures and builds Quintavia into build/ (tests included unless told otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."

tests=${QUINTAVIA_TESTS:-ON}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINTAVIA_WERROR=ON \
    -DQUINTAVIA_TESTS="$tests" >/dev/null
cmake --build build -j2

# The core and its unit tests once more, under AddressSanitizer and UndefinedBehaviorSanitizer.
if [ "${QUINTAVIA_SANITIZE_TREE:-$tests}" = ON ]; then
    CC=clang CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DQUINTAVIA_WERROR=ON -DQUINTAVIA_SANITIZE=ON >/dev/null
    cmake --build build-sanitize -j2
fi
