#!/usr/bin/env bash
# Fuzzes the listing probe and the settings file for longer than the tests do: each target for
# the given number of seconds (default 600). New inputs grow a scratch corpus outside the
# repository ($QUINTAVIA_FUZZ_DIR, else quintavia-fuzz in the temporary folder), which later
# runs go on from. An input that makes a target fail is moved into
# tests/fuzz/regressions/<target>/, which the tests replay from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUINTAVIA_WERROR=ON -DQUINTAVIA_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j2 --target probe_fuzzer store_fuzzer

work=${QUINTAVIA_FUZZ_DIR:-${TMPDIR:-/tmp}/quintavia-fuzz}
# The targets' own files, on a memory filesystem when there is one: the settings file target
# syncs every write.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch=$(mktemp -d -p /dev/shm)
else
    scratch=$(mktemp -d)
fi
trap 'rm -rf "$scratch"' EXIT

status=0
for target in probe_fuzzer store_fuzzer; do
    corpus=$work/$target/corpus
    artifacts=$work/$target/artifacts
    regressions=tests/fuzz/regressions/$target
    mkdir -p "$corpus" "$artifacts"
    kept=("tests/fuzz/corpus/$target")
    [ -d "$regressions" ] && kept+=("$regressions")

    echo "== $target for ${seconds}s, scratch corpus in $corpus" >&2
    TMPDIR=$scratch build-sanitize/tests/fuzz/$target -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$artifacts/" -print_final_stats=1 \
        "$corpus" "${kept[@]}" || status=1

    for input in "$artifacts"/*; do
        [ -f "$input" ] || continue
        mkdir -p "$regressions"
        mv "$input" "$regressions/"
        echo "$target failed on $regressions/$(basename "$input"): fix it and keep the input" >&2
        status=1
    done
done
exit $status
