#!/usr/bin/env bash
# Times the release Skeld against the I/O floor (io_floor.cpp), the
# parallel I/O floor (the same work shared among one thread a core) and,
# natively, that floor stamped (with the status call on each file read and
# written that a re-run's stamps take),
# alternating run for run, each run into a fresh output directory, and
# prints medians:
#   1. the installed Boost tree, output on the disk (under /tmp);
#   2. the same tree, output in memory (tmpfs);
#   3. a tree ten times its size, ten copies of it in memory, output in memory;
#   4. Skeld.exe, the Windows build, under Wine against the Win32 I/O floor
#      (io_floor_win32.cpp), over the tree of 2, output in memory.
#
#   bench/run.sh [native|windows]
#
# With no argument both; native runs 1 to 3, windows only 4. Builds Release
# into build-bench/ and, for 4, build-bench-win/ (MinGW-w64) when needed.
# BUILD_DIR, WINDOWS_BUILD_DIR, BOOST_TREE, RUNS, THREADS (the parallel
# floor's, one a core by default; given, Skeld's --jobs too) and MEMORY_DIR (a tmpfs,
# /dev/shm by default) override the defaults. Part 4 runs Wine in a prefix of
# its own inside the Windows build directory, with one server kept for all
# its runs, so that a run pays only the start of its own program.
set -euo pipefail
export LC_ALL=C

parts=${1:-all}
case $parts in
all | native | windows) ;;
*)
    echo "usage: bench/run.sh [native|windows]" >&2
    exit 2
    ;;
esac

repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/common.sh
. "$repo/bench/common.sh"
threads=${THREADS:-$(nproc)}

check_inputs

if [ "$parts" != windows ]; then
    configure=(--preset bench)
    build_release "$build" Skeld io_floor
fi
if [ "$parts" != native ]; then
    for tool in wine wineserver x86_64-w64-mingw32-g++-posix; do
        if ! command -v "$tool" >/dev/null; then
            echo "bench: $tool is missing (scripts/install-deps.sh installs it)" >&2
            exit 1
        fi
    done
    configure=(-S "$repo" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
        -DHEADWRIGHT_WIZARD=OFF -DHEADWRIGHT_TESTS=OFF)
    build_release "$windows_build" Skeld io_floor_win32
fi
bin=$build/bin
windows_bin=$windows_build/bin

disk_scratch=$(mktemp -d /tmp/skeld-bench.XXXXXX)
memory_scratch=$(mktemp -d "$memory/skeld-bench.XXXXXX")
wine_server=no
cleanup()
{
    # The Wine server of the benchmark's own prefix, and nothing else.
    [ "$wine_server" = yes ] && wineserver -k >/dev/null 2>&1
    rm -rf "$disk_scratch" "$memory_scratch"
}
trap cleanup EXIT

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

# run <program> <tree> <output root> [threads]: one timed run into a fresh directory
# below the output root; sets out and seconds, and rss_kib for Skeld. Skeld appends
# to its personality, so every run gets a fresh copy. The programs are Skeld
# and io_floor, or Skeld.exe and io_floor_win32 under Wine.
run()
{
    local program=$1 tree=$2
    count=$((count + 1))
    out=$3/$count
    mkdir -p "$out"
    # What earlier runs left to write back is not this run's cost.
    sync
    local start end
    case $program in
    Skeld)
        cp "$personality" "$disk_scratch/p$count.p_c"
        start=$EPOCHREALTIME
        (cd "$bin" && /usr/bin/time -f %M -o "$disk_scratch/rss" ./Skeld "${skeld_jobs[@]}" "$disk_scratch/p$count.p_c" "$tree" "$out" >"$disk_scratch/log")
        end=$EPOCHREALTIME
        rss_kib=$(tail -n 1 "$disk_scratch/rss")
        ;;
    Skeld.exe)
        cp "$windows_personality" "$disk_scratch/p$count.p_c"
        start=$EPOCHREALTIME
        (cd "$windows_bin" && /usr/bin/time -f %M -o "$disk_scratch/rss" wine ./Skeld.exe "${skeld_jobs[@]}" \
            "$(winpath "$disk_scratch/p$count.p_c")" "$(winpath "$tree")" "$(winpath "$out")" >"$disk_scratch/log")
        end=$EPOCHREALTIME
        rss_kib=$(tail -n 1 "$disk_scratch/rss")
        ;;
    io_floor)
        start=$EPOCHREALTIME
        "$bin/io_floor" "$tree" "$out" "${4:-1}" ${5:+"$5"} >/dev/null
        end=$EPOCHREALTIME
        ;;
    io_floor_win32)
        start=$EPOCHREALTIME
        wine "$windows_bin/io_floor_win32.exe" "$(winpath "$tree")" "$(winpath "$out")" "${4:-1}" >/dev/null
        end=$EPOCHREALTIME
        ;;
    esac
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
}

rows=()
skeld_median=
floor_median=

# measure <build label> <tree label> <output label> <tree> <output root> <keep>
# A warm-up run of each, then the alternating runs. With keep=yes the
# outputs stay until the phase is over: on ext4 without a journal, creating
# files right after removing many makes the inode allocator step over every
# freshly freed inode, which would swamp both programs' times. In memory
# each output goes as soon as its run is timed.
measure()
{
    local flavour=$1 label=$2 where=$3 tree=$4 root=$5 keep=$6
    local skeld_program=Skeld floor_program=io_floor
    if [ "$flavour" = Wine ]; then
        skeld_program=Skeld.exe floor_program=io_floor_win32
    fi
    local files
    files=$(find "$tree" -type f | wc -l)
    echo "$skeld_program, $label, output $where: $files files; a warm-up, then $runs runs of each" >&2
    local skeld=() floor=() parallel=() stamped=() rss=()
    local i
    for ((i = 0; i <= runs; i++)); do
        run "$skeld_program" "$tree" "$root"
        [ "$keep" = yes ] || rm -rf "$out"
        local s=$seconds r=$rss_kib
        run "$floor_program" "$tree" "$root"
        [ "$keep" = yes ] || rm -rf "$out"
        local f=$seconds
        run "$floor_program" "$tree" "$root" "$threads"
        [ "$keep" = yes ] || rm -rf "$out"
        local p=$seconds t=0
        # The parallel floor with the status calls of the stamps (POSIX only).
        if [ "$flavour" = native ]; then
            run "$floor_program" "$tree" "$root" "$threads" stamped
            [ "$keep" = yes ] || rm -rf "$out"
            t=$seconds
        fi
        if ((i > 0)); then
            skeld+=("$s")
            rss+=("$r")
            floor+=("$f")
            parallel+=("$p")
            stamped+=("$t")
            echo "  run $i: Skeld $s s, floor $f s, parallel floor $p s, stamped $t s, Skeld peak RSS $r KiB" >&2
        fi
    done
    if [ "$keep" = yes ]; then
        rm -rf "$root"
    fi
    skeld_median=$(median "${skeld[@]}")
    floor_median=$(median "${floor[@]}")
    local rss_median parallel_median stamped_median
    rss_median=$(median "${rss[@]}")
    parallel_median=$(median "${parallel[@]}")
    stamped_median=$(median "${stamped[@]}")
    rows+=("$(awk -v b="$flavour" -v l="$label" -v w="$where" -v n="$files" -v s="$skeld_median" -v f="$floor_median" \
        -v p="$parallel_median" -v t="$stamped_median" -v r="$rss_median" \
        'BEGIN { printf "| %-6s | %-9s | %-6s | %7d | %7.2f | %7.2f | %5.2f | %8.2f | %5.2f | %5.2f | %s | %13.1f |", b, l, w, n, s, f, s / f, p, s / p, p / f, (t > 0 ? sprintf("%7.2f | %5.2f", t, s / t) : "      - |     -"), r / 1024 }')")
}

if [ "$parts" != windows ]; then
    measure native "Boost" "disk" "$boost" "$disk_scratch/out" yes
    measure native "Boost" "memory" "$boost" "$memory_scratch/out" no
    skeld_one=$skeld_median
    floor_one=$floor_median
    native_ratio=$(awk -v s="$skeld_median" -v f="$floor_median" 'BEGIN { printf "%.2f", s / f }')

    echo "copying the tree ten times into memory" >&2
    tenfold=$memory_scratch/tenfold/boost
    mkdir -p "$(dirname "$tenfold")"
    # The first copy is the root, so that config/compiler and config/platform
    # are where Skeld looks for them.
    cp -r "$boost" "$tenfold"
    for i in 1 2 3 4 5 6 7 8 9; do
        cp -r "$boost" "$tenfold/copy$i"
    done
    measure native "Boost x10" "memory" "$tenfold" "$memory_scratch/out" no
    skeld_ten=$skeld_median
    floor_ten=$floor_median
    rm -rf "$memory_scratch/tenfold"
fi

if [ "$parts" != native ]; then
    export WINEPREFIX=$windows_build/wineprefix WINEDEBUG=-all
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "creating the Wine prefix $WINEPREFIX" >&2
        wineboot -i >/dev/null 2>&1
    fi
    # One server for every run, started afresh (wineboot's may still be
    # ending); the first program also starts Wine's services.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
    wineserver -p
    wine_server=yes
    wine cmd /c exit >/dev/null 2>&1
    # The personality's include entry that names Boost's parent, in Windows
    # spelling, so that Skeld.exe takes the same path through the stubs.
    parent=$(dirname "$boost")
    windows_personality=$disk_scratch/msvc-windows.p_c
    # Through the environment: awk -v would take the backslashes for escapes.
    UNIX_SPELLING="\"$parent\"" WINDOWS_SPELLING="\"$(winpath "$parent")\"" awk '
        { u = ENVIRON["UNIX_SPELLING"]; i = index($0, u) }
        i { $0 = substr($0, 1, i - 1) ENVIRON["WINDOWS_SPELLING"] substr($0, i + length(u)) }
        { print }' "$personality" >"$windows_personality"
    measure Wine "Boost" "memory" "$boost" "$memory_scratch/out" no
    windows_ratio=$(awk -v s="$skeld_median" -v f="$floor_median" 'BEGIN { printf "%.2f", s / f }')
fi

echo
echo "Medians of $runs alternating runs, $(nproc) cores, times in seconds:"
echo
echo "The parallel floor shares the files among $threads threads; its ratio is Skeld against it,"
echo "and par/one is the parallel floor against the single-thread one. The stamped floor is the"
echo "parallel one with a status call on each file read and written (native only)."
echo
echo "| build  | tree      | output |   files |   Skeld |   floor | ratio | parallel | ratio | par/one | stamped | ratio | Skeld RSS MiB |"
echo "|--------|-----------|--------|--------:|--------:|--------:|------:|---------:|------:|--------:|--------:|------:|--------------:|"
printf '%s\n' "${rows[@]}"
echo
if [ "$parts" != windows ]; then
    awk -v s1="$skeld_one" -v f1="$floor_one" -v s10="$skeld_ten" -v f10="$floor_ten" \
        'BEGIN { printf "Ten times the tree, in memory: Skeld takes %.1f times as long, the floor %.1f times.\n", s10 / s1, f10 / f1 }'
fi
case $parts in
all) echo "Boost in memory, Skeld against its floor: native $native_ratio, Skeld.exe under Wine $windows_ratio." ;;
native) echo "Boost in memory, Skeld against its floor: native $native_ratio." ;;
windows) echo "Boost in memory, Skeld.exe under Wine against the Win32 floor: $windows_ratio." ;;
esac
echo "removing the scratch directories" >&2
