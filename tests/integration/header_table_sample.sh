#!/usr/bin/env bash
# A sample of the header measurement (scripts/measure_boost_headers.sh), in
# two halves: the system's Boost 1.74 at C++17, and Debian's newest (1.92,
# fetched once per build directory) at C++20. In each, every header of the
# sample that MinGW-w64's g++ reads plainly reads through the substitute tree
# under the current-MSVC personality, and every one g++ and clang++ read
# plainly reads through the tree under the personalities of compilers that
# target Unix, but for the losses the measurement excuses and lists; and
# every stub stands for a header the front end has.
# A half that cannot run (no Boost 1.74 here, 1.92 not fetched) or a front end
# that is missing takes only its own part away: the test fails when a part
# that ran fails, and otherwise skips, naming each part that could not run and
# why.
set -euo pipefail
build=$1 data=$2 boost=$3 scratch=$4 here=$(dirname "$0")
source "$here/lib.sh"
require_boost_and_gxx "$boost"

# Headers that meet each data file: Win32 or POSIX paths (thread, asio),
# runtime facts read from compiler macros (date_time), the platform
# configuration (thread), __has_include (asio).
sample="any asio date_time thread"
combos="gxx:sun gxx:xlc gxx:intel gxx:edg"
not_run=()
# A front end that is missing takes only its own rows away.
if command -v "$MINGW_CXX" >/dev/null; then combos="mingw:msvc-current $combos"
else not_run+=("the MinGW-w64 rows: $MINGW_CXX not found"); fi
if command -v clang++ >/dev/null; then combos="$combos clang:sun clang:xlc clang:intel clang:edg"
else not_run+=("the clang++ rows: clang++ not found"); fi
measure=$here/../../scripts/measure_boost_headers.sh
# The fetched Boost outlives the scratch directory: one download per build.
boosts=$scratch.boosts
fresh_dir "$scratch"
failed=()

half() { # VERSION LEVEL
  local status=0
  BUILD_DIR=$build DATA_DIR=$data WORK=$scratch BOOST_CACHE=$boosts BOOST_1_74=$boost VERSIONS=$1 LEVELS=$2 \
    HEADERS=$sample MACROS_ALONE=0 COMBOS=$combos bash "$measure" > "$scratch/table-$1.txt" 2>&1 || status=$?
  cat "$scratch/table-$1.txt"
  [ "$status" -eq 0 ] || failed+=("Boost $1")
}

if grep -q 'BOOST_LIB_VERSION "1_74"' "$boost/version.hpp"; then
  half 1.74 17
else
  not_run+=("the Boost 1.74 half: $boost is not Boost 1.74")
fi

if BOOST_CACHE=$boosts VERSIONS=1.92 FETCH_ONLY=1 BUILD_DIR=$build DATA_DIR=$data COMBOS=$combos bash "$measure" \
     > "$scratch.fetch.log" 2>&1; then
  half 1.92 20
else
  tail -n 5 "$scratch.fetch.log"
  not_run+=("the Boost 1.92 half: Boost 1.92 could not be fetched ($(grep '^measure:' "$scratch.fetch.log" | tail -n 1 || true))")
fi

[ ${#failed[@]} -eq 0 ] || fail "the targets do not hold on the sample of ${failed[*]}"
[ ${#not_run[@]} -eq 0 ] || skip "$(printf '%s; ' "${not_run[@]}" | sed 's/; $//') (what could run holds)"
