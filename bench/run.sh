#!/usr/bin/env bash
# Times the release Skeld against the I/O floor (io_floor.cpp), alternating
# run for run, each run into a fresh output directory, and prints medians:
#   1. the installed Boost tree, output on the disk (under /tmp);
#   2. the same tree, output in memory (tmpfs);
#   3. a tree ten times its size, ten copies of it in memory, output in memory.
#
#   bench/run.sh
#
# Builds Release into build-bench/ when needed. BUILD_DIR, BOOST_TREE, RUNS
# and MEMORY_DIR (a tmpfs, /dev/shm by default) override the defaults.
set -euo pipefail
export LC_ALL=C

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build-bench}
boost=${BOOST_TREE:-/usr/include/boost}
runs=${RUNS:-7}
memory=${MEMORY_DIR:-/dev/shm}

if [ ! -x /usr/bin/time ]; then
    echo "bench: /usr/bin/time is missing (Debian: apt-get install time)" >&2
    exit 1
fi
if [ "$(basename "$boost")" != boost ] || [ ! -d "$boost/config/compiler" ] || [ ! -d "$boost/config/platform" ]; then
    echo "bench: $boost is not a Boost tree" >&2
    exit 1
fi
if [ "$(stat -f -c %T "$memory" 2>/dev/null)" != tmpfs ] || [ ! -w "$memory" ]; then
    echo "bench: $memory is not a writable tmpfs; set MEMORY_DIR to one" >&2
    exit 1
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$repo" && cmake --preset bench -B "$build" >/dev/null)
fi
if ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt"; then
    echo "bench: $build is not a Release build" >&2
    exit 1
fi
if ! cmake --build "$build" --target Skeld io_floor -j2 >/dev/null; then
    echo "bench: the build failed (is add_subdirectory(bench) in the top-level CMakeLists.txt?)" >&2
    exit 1
fi
bin=$build/bin

disk_scratch=$(mktemp -d /tmp/skeld-bench.XXXXXX)
memory_scratch=$(mktemp -d "$memory/skeld-bench.XXXXXX")
trap 'rm -rf "$disk_scratch" "$memory_scratch"' EXIT

personality=$disk_scratch/msvc.p_c
if [ -f "$repo/examples/msvc.p_c" ]; then
    cp "$repo/examples/msvc.p_c" "$personality"
else
    printf '%s\n' '-sd _MSC_VER=1900' '-sd _WIN32' '-si "/usr/include"' >"$personality"
fi

count=0
out=
seconds=
rss_kib=

# run <program> <tree> <output root>: one timed run into a fresh directory
# below the output root; sets out and seconds, and rss_kib for Skeld. Skeld appends
# to its personality, so every run gets a fresh copy.
run()
{
    local program=$1 tree=$2
    count=$((count + 1))
    out=$3/$count
    mkdir -p "$out"
    # What earlier runs left to write back is not this run's cost.
    sync
    local start end
    if [ "$program" = Skeld ]; then
        cp "$personality" "$disk_scratch/p$count.p_c"
        start=$EPOCHREALTIME
        (cd "$bin" && /usr/bin/time -f %M -o "$disk_scratch/rss" ./Skeld "$disk_scratch/p$count.p_c" "$tree" "$out" >"$disk_scratch/log")
        end=$EPOCHREALTIME
        rss_kib=$(tail -n 1 "$disk_scratch/rss")
    else
        start=$EPOCHREALTIME
        "$bin/io_floor" "$tree" "$out" >/dev/null
        end=$EPOCHREALTIME
    fi
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
}

median()
{
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

rows=()
skeld_median=
floor_median=

# measure <tree label> <output label> <tree> <output root> <keep>
# A warm-up run of each, then the alternating runs. With keep=yes the
# outputs stay until the phase is over: on ext4 without a journal, creating
# files right after removing many makes the inode allocator step over every
# freshly freed inode, which would swamp both programs' times. In memory
# each output goes as soon as its run is timed.
measure()
{
    local label=$1 where=$2 tree=$3 root=$4 keep=$5
    local files
    files=$(find "$tree" -type f | wc -l)
    echo "$label, output $where: $files files; a warm-up, then $runs runs of each" >&2
    local skeld=() floor=() rss=()
    local i
    for ((i = 0; i <= runs; i++)); do
        run Skeld "$tree" "$root"
        [ "$keep" = yes ] || rm -rf "$out"
        local s=$seconds r=$rss_kib
        run io_floor "$tree" "$root"
        [ "$keep" = yes ] || rm -rf "$out"
        if ((i > 0)); then
            skeld+=("$s")
            rss+=("$r")
            floor+=("$seconds")
            echo "  run $i: Skeld $s s, floor $seconds s, Skeld peak RSS $r KiB" >&2
        fi
    done
    if [ "$keep" = yes ]; then
        rm -rf "$root"
    fi
    skeld_median=$(median "${skeld[@]}")
    floor_median=$(median "${floor[@]}")
    local rss_median
    rss_median=$(median "${rss[@]}")
    rows+=("$(awk -v l="$label" -v w="$where" -v n="$files" -v s="$skeld_median" -v f="$floor_median" -v r="$rss_median" \
        'BEGIN { printf "| %-9s | %-6s | %7d | %7.2f | %7.2f | %5.2f | %13.1f |", l, w, n, s, f, s / f, r / 1024 }')")
}

measure "Boost" "disk" "$boost" "$disk_scratch/out" yes
measure "Boost" "memory" "$boost" "$memory_scratch/out" no
skeld_one=$skeld_median
floor_one=$floor_median

echo "copying the tree ten times into memory" >&2
tenfold=$memory_scratch/tenfold/boost
mkdir -p "$(dirname "$tenfold")"
# The first copy is the root, so that config/compiler and config/platform
# are where Skeld looks for them.
cp -r "$boost" "$tenfold"
for i in 1 2 3 4 5 6 7 8 9; do
    cp -r "$boost" "$tenfold/copy$i"
done
measure "Boost x10" "memory" "$tenfold" "$memory_scratch/out" no

echo
echo "Medians of $runs alternating runs, $(nproc) cores, times in seconds:"
echo
echo "| tree      | output |   files |   Skeld |   floor | ratio | Skeld RSS MiB |"
echo "|-----------|--------|--------:|--------:|--------:|------:|--------------:|"
printf '%s\n' "${rows[@]}"
awk -v s1="$skeld_one" -v f1="$floor_one" -v s10="$skeld_median" -v f10="$floor_median" \
    'BEGIN { printf "\nTen times the tree, in memory: Skeld takes %.1f times as long, the floor %.1f times.\n", s10 / s1, f10 / f1 }'
echo "removing the scratch directories" >&2
