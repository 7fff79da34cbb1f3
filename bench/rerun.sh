#!/usr/bin/env bash
# Times a run again over unchanged inputs against a first run: each first
# run goes into a fresh output with a fresh copy of the personality, and the
# run again follows at once into the same output, over the personality the
# first one edited. Then the listing floor (list_floor.cpp: every directory
# of Boost and of the output listed, every entry's status taken, nothing
# opened) over the same two trees. Prints medians of wall time and peak
# memory, the ratios, and checks that the run again wrote no file.
#
#   bench/rerun.sh
#
# Uses the Release build in build-bench/ that bench/run.sh makes (BUILD_DIR);
# BOOST_TREE, RUNS and MEMORY_DIR as there.
set -euo pipefail
export LC_ALL=C

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
boost=${BOOST_TREE:-/usr/include/boost}
runs=${RUNS:-7}
memory=${MEMORY_DIR:-/dev/shm}

[ -x /usr/bin/time ] || { echo "bench: /usr/bin/time is missing (Debian: apt-get install time)" >&2; exit 1; }
if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$repo" && cmake --preset bench -B "$build" >/dev/null)
fi
cmake --build "$build" --target Skeld list_floor -j2 >/dev/null || { echo "bench: the build failed" >&2; exit 1; }
bin=$build/bin

disk_scratch=$(mktemp -d /tmp/skeld-rerun.XXXXXX)
memory_scratch=$(mktemp -d "$memory/skeld-rerun.XXXXXX")
trap 'rm -rf "$disk_scratch" "$memory_scratch"' EXIT

median()
{
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# timed <log> <personality> <output>: one run of Skeld; prints "seconds KiB".
timed()
{
    sync
    local start end
    start=$EPOCHREALTIME
    (cd "$bin" && /usr/bin/time -f %M -o "$disk_scratch/rss" ./Skeld "$2" "$boost" "$3" >"$1")
    end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" -v r="$(tail -n 1 "$disk_scratch/rss")" 'BEGIN { printf "%.3f %d\n", b - a, r }'
}

rows=()
for where in disk memory; do
    root=$disk_scratch/out
    [ "$where" = memory ] && root=$memory_scratch/out
    echo "output on the $where: a warm-up, then $runs pairs of a first run and a run again" >&2
    first=() again=() first_rss=() again_rss=() listing=()
    for ((i = 0; i <= runs; i++)); do
        out=$root/$i
        mkdir -p "$out"
        cp "$repo/examples/msvc.p_c" "$disk_scratch/p.p_c"
        read -r s1 r1 < <(timed "$disk_scratch/first.log" "$disk_scratch/p.p_c" "$out")
        read -r s2 r2 < <(timed "$disk_scratch/again.log" "$disk_scratch/p.p_c" "$out")
        if ! grep -q '^Files written: 0, left unchanged: [0-9]*, removed: 0$' "$disk_scratch/again.log"; then
            echo "bench: the run again wrote or removed files:" >&2
            tail -n 3 "$disk_scratch/again.log" >&2
            exit 1
        fi
        start=$EPOCHREALTIME
        "$bin/list_floor" "$boost" "$out" >/dev/null
        end=$EPOCHREALTIME
        s3=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
        rm -rf "$out"
        if ((i > 0)); then
            first+=("$s1") again+=("$s2") first_rss+=("$r1") again_rss+=("$r2") listing+=("$s3")
            echo "  pair $i: first $s1 s ($r1 KiB), again $s2 s ($r2 KiB), listing floor $s3 s" >&2
        fi
    done
    rows+=("$(awk -v w="$where" -v f="$(median "${first[@]}")" -v a="$(median "${again[@]}")" \
        -v fr="$(median "${first_rss[@]}")" -v ar="$(median "${again_rss[@]}")" -v l="$(median "${listing[@]}")" \
        'BEGIN { printf "| %-6s | %7.2f | %7.2f | %5.2f | %7.3f | %5.2f | %9.1f | %9.1f |", w, f, a, a / f, l, a / l, fr / 1024, ar / 1024 }')")
done

echo
echo "Medians of $runs pairs on $(find "$boost" -type f | wc -l) files, $(nproc) cores, times in seconds:"
echo
echo "| output |   first |   again | ratio | listing | again/listing | first MiB | again MiB |"
echo "|--------|--------:|--------:|------:|--------:|--------------:|----------:|----------:|"
printf '%s\n' "${rows[@]}"
