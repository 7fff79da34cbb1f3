#!/usr/bin/env bash
# Times what a run over unchanged inputs costs against what telling that
# nothing changed costs at best. Each pair is a first run into a fresh output
# with a fresh copy of the personality, then, into the same output over the
# personality the first one edited, a run again, a check (`--check`) and the
# listing floor (list_floor.cpp: every directory of Boost and of the output
# listed, every entry's status taken, nothing opened). Prints medians of wall
# time and peak memory and the ratios against the listing floor, whose target
# is 1.3; fails when the run again writes or removes a file or the check
# does not answer 0 (nothing to do).
#   1. native Skeld, output on the disk (under /tmp), then in memory (tmpfs);
#      after each pair's check, velk's own background check over the same
#      tree (velk_check.cpp: velk's TreeWatch, from the start of its check to
#      its answer), printed beside the command line's; it must say "Up to
#      date." and pass Skeld no --jobs. velk_check is built only where velk
#      is (Qt 6, as the bench preset has it); in a build without velk the
#      column is left out with a note;
#   2. Skeld.exe, the Windows build, under Wine against the Win32 listing
#      floor (list_floor_win32.cpp), output in memory; then one more run
#      again traced, counting the files of the output it opens: none but its
#      record and lock should be, and those written too close to the
#      record's time for their stamps to vouch for them (the racy ones).
#
#   bench/rerun.sh [native|windows]
#
# With no argument both. Builds Release into build-bench/ and, for 2,
# build-bench-win/ (MinGW-w64) when needed, as bench/run.sh does. BUILD_DIR,
# WINDOWS_BUILD_DIR, BOOST_TREE, RUNS, THREADS (given, Skeld's --jobs) and
# MEMORY_DIR as there. Part 2 runs Wine in a prefix of its own inside the
# Windows build directory, with one server kept for all its runs, and needs
# strace for the count.
set -euo pipefail
export LC_ALL=C

parts=${1:-all}
case $parts in
all | native | windows) ;;
*)
    echo "usage: bench/rerun.sh [native|windows]" >&2
    exit 2
    ;;
esac

repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/common.sh
. "$repo/bench/common.sh"

check_inputs

velk=no
if [ "$parts" != windows ]; then
    configure=(--preset bench)
    build_release "$build" Skeld list_floor
    if grep -qiE '^HEADWRIGHT_WIZARD:BOOL=(ON|TRUE|YES|1)$' "$build/CMakeCache.txt"; then
        build_release "$build" velk_check
        velk=yes
    fi
fi
if [ "$parts" != native ]; then
    for tool in wine wineserver strace x86_64-w64-mingw32-g++-posix; do
        if ! command -v "$tool" >/dev/null; then
            echo "bench: $tool is missing (scripts/install-deps.sh installs it)" >&2
            exit 1
        fi
    done
    configure=(-S "$repo" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
        -DHEADWRIGHT_WIZARD=OFF -DHEADWRIGHT_TESTS=OFF)
    build_release "$windows_build" Skeld list_floor_win32
fi
bin=$build/bin
windows_bin=$windows_build/bin

disk_scratch=$(mktemp -d /tmp/skeld-rerun.XXXXXX)
memory_scratch=$(mktemp -d "$memory/skeld-rerun.XXXXXX")
wine_server=no
cleanup()
{
    # The Wine server of the benchmark's own prefix, and nothing else.
    [ "$wine_server" = yes ] && wineserver -k >/dev/null 2>&1
    rm -rf "$disk_scratch" "$memory_scratch"
}
trap cleanup EXIT

personality=$disk_scratch/msvc.p_c
cp "$repo/examples/msvc.p_c" "$personality"

# timed <flavour> <log> [Skeld's options...] <personality> <output>: one run
# of Skeld (native) or Skeld.exe under Wine over Boost; sets seconds, rss_kib
# and status (Skeld's own, through /usr/bin/time).
timed()
{
    local flavour=$1 log=$2
    shift 2
    local args=("$@")
    local n=${#args[@]}
    sync
    local start end
    start=$EPOCHREALTIME
    if [ "$flavour" = native ]; then
        (cd "$bin" && /usr/bin/time -f %M -o "$disk_scratch/rss" ./Skeld "${skeld_jobs[@]}" "${args[@]:0:n-2}" \
            "${args[n - 2]}" "$boost" "${args[n - 1]}" >"$log") && status=0 || status=$?
    else
        (cd "$windows_bin" && /usr/bin/time -f %M -o "$disk_scratch/rss" wine ./Skeld.exe "${skeld_jobs[@]}" \
            "${args[@]:0:n-2}" "$(winpath "${args[n - 2]}")" "$(winpath "$boost")" "$(winpath "${args[n - 1]}")" \
            >"$log") && status=0 || status=$?
    fi
    end=$EPOCHREALTIME
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    rss_kib=$(tail -n 1 "$disk_scratch/rss")
}

# listing <flavour> <output>: the listing floor over Boost and the output;
# sets seconds.
listing()
{
    local start end
    sync
    start=$EPOCHREALTIME
    if [ "$1" = native ]; then
        "$bin/list_floor" "$boost" "$2" >/dev/null
    else
        wine "$windows_bin/list_floor_win32.exe" "$(winpath "$boost")" "$(winpath "$2")" >/dev/null
    fi
    end=$EPOCHREALTIME
    seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
}

# velk_timed <personality> <output>: velk's background check over Boost, the
# way the wizard runs it, with Skeld beside velk_check; sets seconds (from the
# check's start to velk's answer) and velk_line, the line velk shows.
velk_timed()
{
    local said
    sync
    said=$(cd "$bin" && ./velk_check "$1" "$boost" "$2") || {
        echo "bench: velk's check did not say the tree is up to date: ${said:-no answer}" >&2
        exit 1
    }
    seconds=${said%% *}
    velk_line=${said#* }
}

# fail <what> <log>: ends the benchmark when a run over an unchanged tree
# would change it; its times would mean nothing.
fail()
{
    echo "bench: $1:" >&2
    tail -n 3 "$2" >&2
    exit 1
}

# wrote_nothing <log>: the run's summary says it wrote and removed nothing.
wrote_nothing()
{
    tr -d '\r' <"$1" | grep -q '^Files written: 0, left unchanged: [0-9]*, removed: 0$'
}

rows=()

# measure <flavour> <output label> <output root> <personality>: a warm-up
# pair, then the measured ones; adds the row of medians.
measure()
{
    local flavour=$1 where=$2 root=$3 source=$4
    local program=Skeld
    [ "$flavour" = Wine ] && program=Skeld.exe
    local place="in memory"
    [ "$where" = disk ] && place="on the disk"
    echo "$program, output $place: a warm-up, then $runs pairs of a first run, a run again, a check and the listing floor" >&2
    local first=() again=() check=() velk_check=() floor=() first_rss=() again_rss=() check_rss=()
    local i out s1 r1 s2 r2 s3 r3 s4=- velk_said=
    local how=native
    [ "$flavour" = Wine ] && how=wine
    for ((i = 0; i <= runs; i++)); do
        out=$root/$i
        mkdir -p "$out"
        cp "$source" "$disk_scratch/p.p_c"
        timed "$how" "$disk_scratch/first.log" "$disk_scratch/p.p_c" "$out"
        [ "$status" = 0 ] || fail "the first run failed (status $status)" "$disk_scratch/first.log"
        s1=$seconds r1=$rss_kib
        timed "$how" "$disk_scratch/again.log" "$disk_scratch/p.p_c" "$out"
        { [ "$status" = 0 ] && wrote_nothing "$disk_scratch/again.log"; } ||
            fail "the run again wrote or removed files (status $status)" "$disk_scratch/again.log"
        s2=$seconds r2=$rss_kib
        timed "$how" "$disk_scratch/check.log" --check "$disk_scratch/p.p_c" "$out"
        [ "$status" = 0 ] || fail "the check found something to do (status $status)" "$disk_scratch/check.log"
        s3=$seconds r3=$rss_kib
        if [ "$how" = native ] && [ "$velk" = yes ]; then
            velk_timed "$disk_scratch/p.p_c" "$out"
            s4=$seconds velk_said=", velk check $s4 s"
        fi
        listing "$how" "$out"
        # The last output (and its personality) stays for the traced run
        # again under Wine.
        ((i < runs)) && rm -rf "$out"
        if ((i > 0)); then
            first+=("$s1") again+=("$s2") check+=("$s3") velk_check+=("$s4") floor+=("$seconds")
            first_rss+=("$r1") again_rss+=("$r2") check_rss+=("$r3")
            echo "  pair $i: first $s1 s ($r1 KiB), again $s2 s ($r2 KiB), check $s3 s ($r3 KiB)$velk_said, listing floor $seconds s" >&2
        fi
    done
    last_output=$out
    # "-" where velk's check was not timed (Wine, or no velk_check).
    local v=-
    [ "$s4" != - ] && v=$(median "${velk_check[@]}")
    rows+=("$(awk -v b="$flavour" -v w="$where" -v f="$(median "${first[@]}")" -v a="$(median "${again[@]}")" \
        -v c="$(median "${check[@]}")" -v v="$v" -v l="$(median "${floor[@]}")" -v fr="$(median "${first_rss[@]}")" \
        -v ar="$(median "${again_rss[@]}")" -v cr="$(median "${check_rss[@]}")" \
        'BEGIN { vs = v == "-" ? sprintf("%10s", "-") : sprintf("%10.3f", v)
                 vr = v == "-" ? sprintf("%10s", "-") : sprintf("%10.2f", v / c)
                 printf "| %-6s | %-6s | %6.2f | %6.3f | %6.3f | %s | %7.3f | %13.2f | %13.2f | %s | %9.1f | %9.1f | %9.1f |",
                        b, w, f, a, c, vs, l, a / l, c / l, vr, fr / 1024, ar / 1024, cr / 1024 }')")
}

# count_opens <personality> <output>: one more run again of Skeld.exe over
# the output and the personality the last pair left, with
# Wine's server and processes under strace; prints which files of the output
# they opened. Under Wine the server opens the files a program asks for, so
# the trace follows it from its start (the benchmark's own server is ended
# first); every successful open names the file it got (-y), whatever the
# call was relative to.
count_opens()
{
    local edited=$1 out
    out=$(realpath "$2")
    local record=$out/skeld-record.txt
    # The racy ones: files whose time is not older than the record's, so
    # that their stamps cannot vouch for what they hold. Times as
    # seconds.nanoseconds, compared as integers, not as floating point.
    find "$out" -type f ! -path "$record" -printf '%T@ %p\n' >"$disk_scratch/times"
    find "$record" -printf '%T@\n' >"$disk_scratch/record_time"
    awk 'NR == FNR { split($1, r, "."); next }
         { split($1, t, "."); if (t[1] > r[1] || (t[1] == r[1] && t[2] >= r[2])) print substr($0, length($1) + 2) }' \
        "$disk_scratch/record_time" "$disk_scratch/times" | sort >"$disk_scratch/racy"

    wineserver -k >/dev/null 2>&1 || true
    wineserver -w
    wine_server=no
    (cd "$windows_bin" && strace -f -qq -y -e trace=open,openat,openat2 -o "$disk_scratch/trace" \
        wine ./Skeld.exe "${skeld_jobs[@]}" "$(winpath "$edited")" "$(winpath "$boost")" "$(winpath "$out")" \
        >"$disk_scratch/counted.log") || true
    # The server lingers a few seconds after its last program; the trace is
    # whole once it has gone.
    wineserver -w
    wrote_nothing "$disk_scratch/counted.log" || fail "the traced run again wrote or removed files" "$disk_scratch/counted.log"
    # "= 7</dev/shm/...>": the file a successful open got. Directories are
    # opened to be listed; the lock is gone once the run has ended.
    sed -nE 's/.*\) = [0-9]+<(.*)>$/\1/p' "$disk_scratch/trace" | grep -F "$out/" | sort -u | while read -r path; do
        [ -d "$path" ] || printf '%s\n' "$path"
    done >"$disk_scratch/opened" || true
    local all own racy others
    all=$(wc -l <"$disk_scratch/opened")
    own=$(grep -cxF -e "$record" -e "$out/skeld-lock" "$disk_scratch/opened" || true)
    racy=$(comm -12 "$disk_scratch/opened" "$disk_scratch/racy" | wc -l)
    others=$((all - own - racy))
    echo "Skeld.exe, one run again over the unchanged tree, opened $all files of the output: the record and"
    echo "the lock $own, named by the racy rule $racy (of $(wc -l <"$disk_scratch/racy") racy), others $others (target: 0)."
    if ((others > 0)); then
        comm -23 "$disk_scratch/opened" "$disk_scratch/racy" | grep -vxF -e "$record" -e "$out/skeld-lock" |
            sed -n '1,5p' | sed "s|^$out/|    |"
    fi
}

if [ "$parts" != windows ]; then
    measure native disk "$disk_scratch/out" "$personality"
    rm -rf "$last_output"
    measure native memory "$memory_scratch/out" "$personality"
    rm -rf "$last_output"
fi

opens=$disk_scratch/opens.txt
: >"$opens"
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
    measure Wine memory "$memory_scratch/out" "$windows_personality"
    echo "tracing one more run again of Skeld.exe" >&2
    count_opens "$disk_scratch/p.p_c" "$last_output" >"$opens"
    rm -rf "$last_output"
fi

echo
echo "Medians of $runs pairs on $(find "$boost" -type f | wc -l) files, $(nproc) cores, times in seconds;"
echo "the run again and the check go over the unchanged tree the first run made, against the"
echo "listing floor over the same tree (target: at or under 1.3):"
echo
echo "| build  | output |  first |  again |  check | velk check | listing | again/listing | check/listing | velk/check | first MiB | again MiB | check MiB |"
echo "|--------|--------|-------:|-------:|-------:|-----------:|--------:|--------------:|--------------:|-----------:|----------:|----------:|----------:|"
printf '%s\n' "${rows[@]}"
if [ "$parts" != windows ]; then
    echo
    if [ "$velk" = yes ]; then
        echo "velk check: velk's background check as the wizard runs it, Skeld's default jobs, from its start to"
        echo "velk's answer, which was: $velk_line"
    else
        echo "velk check: not timed, $build builds no velk (the bench preset's, no Qt); BUILD_DIR=<a Release build with velk> times it."
    fi
fi
if [ -s "$opens" ]; then
    echo
    cat "$opens"
fi
echo "removing the scratch directories" >&2
