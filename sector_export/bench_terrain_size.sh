#!/usr/bin/env bash
# Benchmark, not a test: does exporting one sector cost the same from a large terrain as from
# a small one? Writes a terrain of about 1 MiB and one of about 1 GiB with the terrain file
# writers (same sector layout, more sectors), exports the same sector from each, the two
# alternating, RUNS times, and prints the median wall time and peak resident memory of each
# and their ratios. The goal: at most twice the time and at most 16 MiB more memory.
#
#   sector_export/bench_terrain_size.sh [BUILD_DIR]      (default build-bench; RUNS=9)
#
# Needs about 1.1 GiB free under ${TMPDIR:-/tmp}; the terrains are deleted at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=${RUNS:-9}
row=2
column=3

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target sector_export sector_export_terrain_generator -j2 >/dev/null
exporter=$PWD/$build/sector_export/sector_export
generator=$PWD/$build/tests/sector_export_terrain_generator

work=$(mktemp -d "${TMPDIR:-/tmp}/sector_export_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/small" "$work/large"
echo "small terrain: $("$generator" "$work/small" 1048576)"
echo "large terrain: $("$generator" "$work/large" 1073741824)"

# One export in $1: appends its wall time in microseconds and its peak RSS in KiB to $2.
run_once() {
    local start end
    start=$(date +%s%N)
    (cd "$1" && /usr/bin/time -f %M -o "$work/rss" "$exporter" $row $column >/dev/null)
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(cat "$work/rss")" >>"$2"
}

for _ in $(seq "$runs"); do
    run_once "$work/small" "$work/small.times"
    run_once "$work/large" "$work/large.times"
done
cmp -s "$work/small/002x003.lwo" "$work/large/002x003.lwo" || {
    echo "the two exports differ"
    exit 1
}

median() { cut -d' ' -f"$2" "$1" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
small_us=$(median "$work/small.times" 1)
large_us=$(median "$work/large.times" 1)
small_kib=$(median "$work/small.times" 2)
large_kib=$(median "$work/large.times" 2)
awk -v su="$small_us" -v lu="$large_us" -v sk="$small_kib" -v lk="$large_kib" -v runs="$runs" 'BEGIN {
    printf "median of %d runs each, exporting sector (2, 3)\n", runs
    printf "%-14s %12s %14s\n", "terrain", "wall ms", "peak RSS MiB"
    printf "%-14s %12.2f %14.2f\n", "~1 MiB", su / 1000, sk / 1024
    printf "%-14s %12.2f %14.2f\n", "~1 GiB", lu / 1000, lk / 1024
    printf "ratio 1 GiB / 1 MiB: time %.2f, peak RSS %.2f; peak RSS difference %.2f MiB\n",
        lu / su, lk / sk, (lk - sk) / 1024
}'
