# Helpers shared by the integration scripts and the header measurement;
# sourced, not run. A compiler stands in for the analyser: a personality's -si
# entries become -I options in their order, its -sd entries -D options.

skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

require_boost_and_gxx() {
  [ -f "$1/version.hpp" ] || skip "no Boost headers in $1"
  command -v g++ >/dev/null || skip "g++ not found"
}

# MinGW-w64's g++ stands in for an analyser with Windows system headers. Its
# own Windows and compiler macros go, so that inside Boost only the
# personality's stand; _WIN32 and _WIN64 stay, as every Windows target has them.
MINGW_CXX=${MINGW_CXX:-x86_64-w64-mingw32-g++}
MINGW_FRONT_END=("$MINGW_CXX" -U__WIN32 -U__WIN32__ -U__WIN64 -U__WIN64__ -U__WINNT -U__WINNT__
                 -U__MINGW32__ -U__MINGW64__)
# The analyser in MSVC mode knows MSVC's built-in __assume, which Boost's
# date and time code uses when it sees _MSC_VER (the exclusion list gives that
# code the compiler's macros, for the runtime's sake); g++ does not, so the
# tests give it as a macro. The header measurement leaves it out.
MSVC_BUILTINS=('-D__assume(e)=((void)0)')
require_mingw() { command -v "$MINGW_CXX" >/dev/null || skip "$MINGW_CXX not found"; }

# boost_alone BOOST DIR: DIR holds only a link named boost to BOOST, so that
# DIR, the parent Skeld wants on the include path, brings no other headers
# (/usr/include's would shadow MinGW-w64's).
boost_alone() { mkdir -p "$2" && ln -sfn "$1" "$2/boost"; }

# personality_over PERSONALITY PARENT COPY: COPY is PERSONALITY with its -si
# lines replaced by one naming PARENT, the directory that holds Boost.
personality_over() {
  grep -v -E '^[[:space:]]*(-si|-SI|-systeminclude|-SYSTEMINCLUDE)[[:space:]]' "$1" > "$3" || true
  printf -- '-si "%s"\n' "$2" >> "$3"
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

# personality_flags PERSONALITY [EXCLUDED]: fills INCLUDES and DEFINES from the
# personality. Lines that also stand in the file EXCLUDED are left out. The
# text after the define option goes to -D verbatim, quotes included, and
# reaches g++ without a shell in between.
personality_flags() {
  local personality=$1 excluded=${2:-} line re_define re_include
  INCLUDES=() DEFINES=()
  re_define='^[[:space:]]*(-sd|-SD|-systemdefine|-SYSTEMDEFINE)[[:space:]]+(.*[^[:space:]])[[:space:]]*$'
  re_include='^[[:space:]]*(-si|-SI|-systeminclude|-SYSTEMINCLUDE)[[:space:]]+"?([^"]*[^"[:space:]])"?[[:space:]]*$'
  while IFS= read -r line || [ -n "$line" ]; do
    line=${line%$'\r'}
    if [ -n "$excluded" ] && grep -qxF -- "$line" "$excluded"; then continue; fi
    if [[ $line =~ $re_define ]]; then
      DEFINES+=("-D${BASH_REMATCH[2]}")
    elif [[ $line =~ $re_include ]]; then
      INCLUDES+=("-I${BASH_REMATCH[2]}")
    fi
  done < "$personality"
}

# error_count FILE: the number of error lines in a compiler log.
error_count() { grep -c 'error:' "$1" || true; }
