# Helpers of the integration scripts and the header measurement; sourced, not
# run. The stand-in for the analyser itself is scripts/stand_in.sh.

. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/stand_in.sh"

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

require_boost_and_gxx() {
  [ -f "$1/version.hpp" ] || skip "no Boost headers in $1"
  command -v g++ >/dev/null || skip "g++ not found"
}

# fresh_dir DIR: an empty directory DIR.
fresh_dir() { rm -rf "$1" && mkdir -p "$1"; }

# run_skeld SKELD DATA_DIR PERSONALITY BOOST OUT: Skeld in the data directory,
# where it finds its data files by bare name; the log goes to OUT.log.
run_skeld() {
  local skeld=$1 data=$2 personality=$3 boost=$4 out=$5 status=0
  (cd "$data" && "$skeld" "$personality" "$boost" "$out") > "$out.log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || { cat "$out.log"; fail "Skeld ended with status $status"; }
}

# The analyser in MSVC mode knows MSVC's built-in __assume, which Boost's
# date and time code uses when it sees _MSC_VER (the exclusion list gives that
# code the compiler's macros, for the runtime's sake); g++ does not, so the
# tests give it as a macro. The header measurement leaves it out.
MSVC_BUILTINS=('-D__assume(e)=((void)0)')
require_mingw() { command -v "$MINGW_CXX" >/dev/null || skip "$MINGW_CXX not found"; }
