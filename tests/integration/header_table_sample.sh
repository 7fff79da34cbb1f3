#!/usr/bin/env bash
# A sample of the header measurement (scripts/measure_boost_headers.sh) on
# the system's Boost: each header of the sample that MinGW-w64's g++ reads
# plainly reads through the substitute tree under the current-MSVC
# personality, and each one g++ and clang++ read plainly reads through the
# tree under the personalities of compilers that target Unix, but for the
# losses the measurement excuses and lists.
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
fresh_dir "$scratch"
status=0
BUILD_DIR=$build DATA_DIR=$data WORK=$scratch BOOST_1_74=$boost VERSIONS=1.74 HEADERS=$sample MACROS_ALONE=0 LATENT=0 \
  COMBOS="mingw:msvc-current gxx:sun gxx:xlc gxx:intel gxx:edg clang:sun clang:xlc clang:intel clang:edg" \
  bash "$here/../../scripts/measure_boost_headers.sh" > "$scratch/table.txt" 2>&1 || status=$?
cat "$scratch/table.txt"
[ "$status" -eq 0 ] || fail "the targets do not hold on the sample"
