#!/bin/sh
# Level discovery over one large archive against unzip listing it and unpacking its .nfo entries,
# measured in the same run on the same file. Prints both times and their ratio (lower is better).
# Usage: bench/discovery_vs_unzip.sh [build folder]   (default build/maps-bench)
set -eu
build=${1:-build/maps-bench}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/bin/tollan_bench" --benchmark_filter='LargeArchive' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv >"$out" 2>/dev/null
ours=$(grep '^"BM_DiscoverLargeArchive_median"' "$out" | cut -d, -f3)
theirs=$(grep '^"BM_UnzipLargeArchive_median"' "$out" | cut -d, -f3)
echo "discovery ${ours} ms, unzip -Z1 + unzip -p '*.nfo' ${theirs} ms (real time, median of 5)"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "ratio %.3f\n", a / b }'
