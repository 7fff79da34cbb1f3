#!/usr/bin/env bash
# Times Skeld --remove of a whole tree: each removal follows an untimed first
# run into a fresh output with a fresh copy of the personality. Prints
# medians of wall time and peak memory, output on the disk and in memory, and
# checks that each removal left the output empty.
#
#   bench/remove.sh [FOLDER]
#
# FOLDER holds the Skeld to time and its data files (another build's bin/, to
# compare); by default the Release build in build-bench/ that bench/run.sh
# makes (BUILD_DIR). BOOST_TREE, RUNS and MEMORY_DIR as there.
set -euo pipefail
export LC_ALL=C

repo=$(cd "$(dirname "$0")/.." && pwd)
boost=${BOOST_TREE:-/usr/include/boost}
runs=${RUNS:-7}
memory=${MEMORY_DIR:-/dev/shm}

[ -x /usr/bin/time ] || { echo "bench: /usr/bin/time is missing (Debian: apt-get install time)" >&2; exit 1; }
if [ $# -ge 1 ]; then
    bin=$(cd "$1" && pwd)
else
    build=${BUILD_DIR:-$repo/build-bench}
    [ -f "$build/CMakeCache.txt" ] || (cd "$repo" && cmake --preset bench -B "$build" >/dev/null)
    cmake --build "$build" --target Skeld -j2 >/dev/null || { echo "bench: the build failed" >&2; exit 1; }
    bin=$build/bin
fi

disk_scratch=$(mktemp -d /tmp/skeld-remove.XXXXXX)
memory_scratch=$(mktemp -d "$memory/skeld-remove.XXXXXX")
trap 'rm -rf "$disk_scratch" "$memory_scratch"' EXIT

median()
{
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

rows=()
for where in disk memory; do
    root=$disk_scratch/out
    [ "$where" = memory ] && root=$memory_scratch/out
    echo "output on the $where: a warm-up, then $runs removals" >&2
    times=() sizes=()
    for ((i = 0; i <= runs; i++)); do
        out=$root/$i
        mkdir -p "$out"
        cp "$repo/examples/msvc.p_c" "$disk_scratch/p.p_c"
        (cd "$bin" && ./Skeld "$disk_scratch/p.p_c" "$boost" "$out" >/dev/null)
        sync
        start=$EPOCHREALTIME
        (cd "$bin" && /usr/bin/time -f %M -o "$disk_scratch/rss" ./Skeld --remove "$disk_scratch/p.p_c" "$out" >"$disk_scratch/remove.log")
        end=$EPOCHREALTIME
        if [ -n "$(ls -A "$out")" ]; then
            echo "bench: the removal left files:" >&2
            cat "$disk_scratch/remove.log" >&2
            exit 1
        fi
        rm -rf "$out"
        if ((i > 0)); then
            times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
            sizes+=("$(tail -n 1 "$disk_scratch/rss")")
            echo "  removal $i: ${times[-1]} s (${sizes[-1]} KiB)" >&2
        fi
    done
    rows+=("$(awk -v w="$where" -v t="$(median "${times[@]}")" -v r="$(median "${sizes[@]}")" \
        'BEGIN { printf "| %-6s | %7.2f | %9.1f |", w, t, r / 1024 }')")
done

echo
echo "Medians of $runs removals of a tree made from $(find "$boost" -type f | wc -l) files, $(nproc) cores:"
echo
echo "| output | seconds | peak MiB |"
echo "|--------|--------:|---------:|"
printf '%s\n' "${rows[@]}"
