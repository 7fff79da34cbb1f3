# A compiler standing in for the analyser: shared by the demo, the
# integration tests and the header measurement; sourced, not run. A
# personality's -si entries become -I options in their order, its -sd entries
# -D options.

# MinGW-w64's g++ stands in for an analyser with Windows system headers. Its
# own Windows and compiler macros go, so that inside Boost only the
# personality's stand; _WIN32 and _WIN64 stay, as every Windows target has them.
MINGW_CXX=${MINGW_CXX:-x86_64-w64-mingw32-g++}
MINGW_FRONT_END=("$MINGW_CXX" -U__WIN32 -U__WIN32__ -U__WIN64 -U__WIN64__ -U__WINNT -U__WINNT__
                 -U__MINGW32__ -U__MINGW64__)
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
