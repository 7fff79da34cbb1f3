# What the benchmark scripts share, sourced by each: the settings they take
# from the environment, the checks of what they need, and small helpers.
# Expects repo (the checkout) to be set.

build=${BUILD_DIR:-$repo/build-bench}
windows_build=${WINDOWS_BUILD_DIR:-$repo/build-bench-win}
boost=${BOOST_TREE:-/usr/include/boost}
runs=${RUNS:-7}
memory=${MEMORY_DIR:-/dev/shm}
# Skeld runs with its default jobs (one a core, at most 8); THREADS given
# also sets its --jobs.
skeld_jobs=()
if [ -n "${THREADS:-}" ]; then
    skeld_jobs=(--jobs "$THREADS")
fi

# check_inputs: the timer, a Boost tree and a tmpfs are there, or the script ends.
check_inputs()
{
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
}

# build_release <directory> <targets...>: configures with the given cache
# arguments (configure) when needed, then builds the targets.
build_release()
{
    local dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        (cd "$repo" && cmake "${configure[@]}" -B "$dir" >/dev/null)
    fi
    if ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$dir/CMakeCache.txt"; then
        echo "bench: $dir is not a Release build" >&2
        exit 1
    fi
    if ! cmake --build "$dir" --target "$@" -j2 >/dev/null; then
        echo "bench: the build in $dir failed" >&2
        exit 1
    fi
}

median()
{
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The Windows spelling of a path, through Wine's drive Z:, which is /.
winpath()
{
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}
