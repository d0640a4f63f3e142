#!/usr/bin/env bash
# Prints the performance tables in Markdown, ready for the README, and draws the timeline figure
# into BUILD/bench/timeline.png (`make figures` puts it in the README): the game beside a bare
# Qt window and the moving floor under private Xvfb displays, a whole game of the tick probe
# clicked all along, and the micro-benchmarks.
# Takes about nine minutes; run it on an otherwise idle machine.
#   scripts/bench.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
bench="$build/bench/namoro_bench"
if [ ! -x "$bench" ]; then
    echo "bench: $bench is missing; build first (make bench does)" >&2
    exit 1
fi
# The web page, after make web; the native bench prints its figures first, in the same table.
/usr/bin/python3 "$root/bench/web/web_bench.py" "$build/web" "$build/app/namoro" >"$build/bench/web.json"
exec "$bench" --web "$build/bench/web.json" --timeline "$(realpath "$build")/bench/timeline.png"
