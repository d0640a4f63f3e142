#!/usr/bin/env bash
# Prints the performance table: the game beside a bare Qt window under a private Xvfb, the
# timers' pacing over a whole game, and the micro-benchmarks. Takes about five minutes; run it
# on an otherwise idle machine.
#   scripts/bench.sh [build-dir] [--runs N]
set -euo pipefail
build="${1:-build}"
[ $# -gt 0 ] && shift
bench="$build/bench/namoro_bench"
if [ ! -x "$bench" ]; then
    echo "bench: $bench is missing; build first (make bench does)" >&2
    exit 1
fi
exec "$bench" "$@"
