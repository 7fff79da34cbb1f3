#!/usr/bin/env bash
# A sample of the header measurement (scripts/measure_boost_headers.sh): on
# the system's Boost at C++17 and on Debian's newest (1.90) at C++20, each
# header of the sample that MinGW-w64's g++ reads plainly reads through the
# substitute tree under the current-MSVC personality, and each one g++ and
# clang++ read plainly reads through the tree under the personalities of
# compilers that target Unix, but for the losses the measurement excuses and
# lists; and every stub stands for a header the front end has.
set -euo pipefail
build=$1 data=$2 boost=$3 scratch=$4 here=$(dirname "$0")
source "$here/lib.sh"
require_boost_and_gxx "$boost"
require_mingw
command -v clang++ >/dev/null || skip "clang++ not found"
grep -q 'BOOST_LIB_VERSION "1_74"' "$boost/version.hpp" || skip "the sample's figures are for Boost 1.74"

# Headers that meet each data file: Win32 or POSIX paths (thread, asio),
# runtime facts read from compiler macros (date_time), the platform
# configuration (thread), __has_include (asio).
sample="any asio date_time thread"
combos="mingw:msvc-current gxx:sun gxx:xlc gxx:intel gxx:edg clang:sun clang:xlc clang:intel clang:edg"
measure=$here/../../scripts/measure_boost_headers.sh
# The fetched Boost outlives the scratch directory: one download per build.
boosts=$scratch.boosts
BOOST_CACHE=$boosts VERSIONS=1.90 FETCH_ONLY=1 BUILD_DIR=$build DATA_DIR=$data bash "$measure" > "$scratch.fetch.log" 2>&1 ||
  { tail -n 5 "$scratch.fetch.log"; skip "Boost 1.90 could not be fetched"; }
fresh_dir "$scratch"
status=0
for part in "1.74 17" "1.90 20"; do
  read -r version level <<< "$part"
  BUILD_DIR=$build DATA_DIR=$data WORK=$scratch BOOST_CACHE=$boosts BOOST_1_74=$boost VERSIONS=$version LEVELS=$level \
    HEADERS=$sample MACROS_ALONE=0 COMBOS=$combos bash "$measure" > "$scratch/table-$version.txt" 2>&1 || status=$?
  cat "$scratch/table-$version.txt"
done
[ "$status" -eq 0 ] || fail "the targets do not hold on the sample"
