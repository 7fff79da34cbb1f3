#!/usr/bin/env bash
# Counts the Wine server requests that Skeld.exe and the Win32 I/O floor
# (io_floor_win32.cpp) make per file of the tree, and which requests they are.
# Every file-system call of a Windows program under Wine that the program's
# own process cannot answer goes to the Wine server as one or more requests;
# on Windows the same calls pass the kernel and its file-system filters. The
# count per file is the difference between a run over the first 1,000 files
# of the Boost tree and one over its first 100, divided by 900, so that the
# start of the program drops out.
#
#   bench/wine_requests.sh
#
# Needs the Windows build of the benchmark (WINDOWS_BUILD_DIR,
# build-bench-win/ by default, which bench/run.sh windows makes) with
# Skeld.exe and io_floor_win32.exe; SKELD_EXE counts another Skeld.exe. The
# server runs in the benchmark's Wine prefix in that build, with its trace
# (-d1) in a file there.
set -euo pipefail
export LC_ALL=C

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${WINDOWS_BUILD_DIR:-$repo/build-bench-win}
boost=${BOOST_TREE:-/usr/include/boost}
memory=${MEMORY_DIR:-/dev/shm}
bin=$build/bin
# Another Skeld.exe (an earlier build's) may be counted instead; it reads the
# data files of this build's bin/, its working directory.
skeld=${SKELD_EXE:-$bin/Skeld.exe}

for program in "$skeld" "$bin/io_floor_win32.exe"; do
    if [ ! -f "$program" ]; then
        echo "wine_requests: $program is missing; bench/run.sh windows builds it" >&2
        exit 1
    fi
done

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX" >&2
    wineboot -i >/dev/null 2>&1
fi
wineserver -k >/dev/null 2>&1 || true
wineserver -w

scratch=$(mktemp -d "$memory/skeld-requests.XXXXXX")
trace=$build/wine_requests.trace
server_pid=
cleanup()
{
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# The first files of the tree in byte order, with the two configuration
# directories Skeld writes into.
for n in 100 1000; do
    (cd "$boost" && find . -type f | sort | sed -n "1,${n}p") | while read -r f; do
        mkdir -p "$scratch/t$n/boost/$(dirname "$f")"
        cp "$boost/$f" "$scratch/t$n/boost/$f"
    done
    mkdir -p "$scratch/t$n/boost/config/compiler" "$scratch/t$n/boost/config/platform"
done
printf '%s\n' '-sd _MSC_VER=1900' '-sd _WIN32' >"$scratch/p.p_c"

# One server for every run, its trace going to one file: a run's requests are
# the lines it added.
wineserver -f -p -d1 2>"$trace" &
server_pid=$!
sleep 1
wine cmd /c exit >/dev/null 2>&1

requests()
{
    grep -Ec '^[0-9a-f]+: [a-z_]+\( ' "$trace" || true
}

winpath()
{
    printf 'Z:%s' "${1//\//\\}"
}

# count <program> <tree size>: sets counted to the requests of one run, and
# saves that run's requests by name in $scratch/<program>.<size>.
count()
{
    local program=$1 n=$2
    rm -rf "$scratch/out"
    mkdir "$scratch/out"
    local before after
    before=$(wc -l <"$trace")
    if [ "$program" = Skeld.exe ]; then
        cp "$scratch/p.p_c" "$scratch/run.p_c"
        (cd "$bin" && wine "$skeld" "$(winpath "$scratch/run.p_c")" "$(winpath "$scratch/t$n/boost")" \
            "$(winpath "$scratch/out")" >/dev/null 2>&1)
    else
        wine "$bin/io_floor_win32.exe" "$(winpath "$scratch/t$n/boost")" "$(winpath "$scratch/out")" >/dev/null 2>&1
    fi
    # What the server still prints for the run once it has ended.
    sleep 1
    after=$(wc -l <"$trace")
    sed -n "$((before + 1)),${after}p" "$trace" | grep -E '^[0-9a-f]+: [a-z_]+\( ' |
        sed -E 's/^[0-9a-f]+: ([a-z_]+)\(.*/\1/' | sort | uniq -c | awk '{ print $2, $1 }' >"$scratch/$program.$n"
    counted=$(awk '{ s += $2 } END { print s + 0 }' "$scratch/$program.$n")
}

echo "Wine server requests per file (runs over 1,000 and 100 files of $boost, difference / 900):"
echo
for program in io_floor_win32.exe Skeld.exe; do
    count "$program" 1000
    large=$counted
    count "$program" 100
    small=$counted
    awk -v p="$program" -v a="$large" -v b="$small" 'BEGIN { printf "%-20s %6.1f requests a file\n", p, (a - b) / 900 }'
    # Which requests, per file, those over a tenth of one a file.
    join -a 1 -e 0 -o 0,1.2,2.2 "$scratch/$program.1000" "$scratch/$program.100" |
        awk '{ d = ($2 - $3) / 900; if (d >= 0.1 || d <= -0.1) printf "    %-26s %5.1f\n", $1, d }' | sort -k2 -rn
done
