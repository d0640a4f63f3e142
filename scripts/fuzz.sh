#!/usr/bin/env bash
# Runs the fuzz targets of a fuzz build, or folds what they found into the committed corpora.
#
#   scripts/fuzz.sh run <build dir> <seconds> [target...]   each target for <seconds>, one at a time
#   scripts/fuzz.sh merge <build dir> [target...]          fold the finds into fuzz/corpus/<target>, minimised
#
# A run reads fuzz/corpus/<target> and adds its finds to <build dir>/fuzz-corpus/<target>; a crash or a
# broken property is saved in <build dir>/fuzz-artifacts/<target>/. Extra libFuzzer flags come from
# FUZZ_FLAGS. Each run appends its executions and CPU seconds to <build dir>/fuzz-logs/summary.tsv.
set -euo pipefail
cd "$(dirname "$0")/.."
all_targets=(layout-stream gif number layout-text)

mode=${1:?mode: run or merge}
build=${2:?build directory}
shift 2
if [ "$mode" = run ]; then
    seconds=${1:?seconds per target}
    shift
fi
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")

logs="$build/fuzz-logs"
mkdir -p "$logs"
status=0
for t in "${targets[@]}"; do
    fuzzer="$build/fuzz/fuzz-$t"
    seeds="fuzz/corpus/$t"
    found="$build/fuzz-corpus/$t"
    mkdir -p "$found" "$build/fuzz-artifacts/$t"
    case "$mode" in
    run)
        log="$logs/$t-$(date +%Y%m%d-%H%M%S).log"
        TIMEFORMAT='cpu-seconds %U %S'
        # shellcheck disable=SC2086
        if ! { time "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$build/fuzz-artifacts/$t/" ${FUZZ_FLAGS:-} "$found" "$seeds" >"$log" 2>&1; } 2>"$log.time"; then
            echo "$t: FOUND A FAULT, see $log and $build/fuzz-artifacts/$t/"
            status=1
        fi
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        cpu=$(awk '/^cpu-seconds/ { printf "%.0f", $2 + $3 }' "$log.time")
        printf '%s\t%s\t%s\t%s\n' "$(date -Is)" "$t" "${runs:-0}" "${cpu:-0}" >>"$logs/summary.tsv"
        echo "$t: ${runs:-0} executions in ${cpu:-0} CPU seconds"
        ;;
    merge)
        # seed-* and regression-* inputs stay; of the rest, the merge keeps the smallest set
        # that adds coverage to them.
        merged="$build/fuzz-merged/$t"
        rest="$build/fuzz-rest/$t"
        rm -rf "$merged" "$rest" && mkdir -p "$merged" "$rest"
        cp "$seeds"/seed-* "$seeds"/regression-* "$merged"/ 2>/dev/null || true
        find "$seeds" -type f ! -name 'seed-*' ! -name 'regression-*' -exec mv {} "$rest"/ \;
        "$fuzzer" -set_cover_merge=1 -use_counters=0 "$merged" "$rest" "$found" >"$logs/$t-merge.log" 2>&1
        cp -n "$merged"/* "$seeds"/
        echo "$t: $(find "$seeds" -type f | wc -l) inputs, $(du -sh "$seeds" | cut -f1)"
        ;;
    *) echo "unknown mode $mode" >&2; exit 2 ;;
    esac
done
exit $status
