#!/bin/sh
# Runs a fuzz target on every kept input (seeds and the inputs that once failed), then on new
# inputs for a number of seconds. New inputs go to a scratch corpus, so the kept ones stay as
# they are; an input that fails is written to the current folder.
# Usage: short_run.sh <fuzzer> <seconds> <kept input folder>...
set -eu
fuzzer=$1
seconds=$2
shift 2

# On a memory filesystem when there is one: the settings file target syncs every write.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    scratch=$(mktemp -d -p /dev/shm)
else
    scratch=$(mktemp -d)
fi
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/corpus" "$scratch/tmp"

# Only the kept folders that exist: an empty one is not in git.
for dir; do
    shift
    if [ -d "$dir" ]; then set -- "$@" "$dir"; fi
done

TMPDIR="$scratch/tmp" "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$PWD/" -print_final_stats=1 "$scratch/corpus" "$@"
