# Helpers shared by the integration scripts; sourced, not run.
# g++ stands in for the analyser: a personality's -si entries become -I
# options in their order, its -sd entries -D options.

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
