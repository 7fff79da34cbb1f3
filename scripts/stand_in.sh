# A compiler standing in for the analyser: shared by the demo, the
# integration tests and the header measurement; sourced, not run. A
# personality's -si entries become -I options in their order, its -sd entries
# -D options.

# MinGW-w64's g++ stands in for an analyser with Windows system headers. Its
# own Windows and compiler macros go, so that inside Boost only the
# personality's stand; _WIN32 and _WIN64 stay, as every Windows target has them.
# Its POSIX thread model, as the Windows build uses: the win32 one has no
# std::mutex or std::thread, which Microsoft's library has and Boost.System uses.
# Microsoft's long double is double, and Boost code read with _MSC_VER relies
# on it (Math's SSE2 Lanczos sums assert it).
MINGW_CXX=${MINGW_CXX:-x86_64-w64-mingw32-g++-posix}
MINGW_FRONT_END=("$MINGW_CXX" -mlong-double-64
                 -U__WIN32 -U__WIN32__ -U__WIN64 -U__WIN64__ -U__WINNT -U__WINNT__
                 -U__MINGW32__ -U__MINGW64__)
# boost_alone BOOST DIR: DIR holds only a link named boost to BOOST, so that
# DIR, the parent Skeld wants on the include path, brings no other headers
# (/usr/include's would shadow MinGW-w64's).
boost_alone() { mkdir -p "$2" && ln -sfn "$1" "$2/boost"; }

# stand_in_search_dirs COMPILER [OPTION...]: the compiler's own system include
# directories in its search order, one a line: what a personality for the
# analyser names with -si, as the analyser has none built in.
stand_in_search_dirs() {
  "$@" -x c++ -E -v - < /dev/null 2>&1 |
    sed -n '/^#include <...> search starts here:/,/^End of search list/p' | sed -n 's/^ //p'
}

# personality_over PERSONALITY PARENT COPY [SYSTEM_DIR...]: COPY is PERSONALITY
# with its -si lines replaced by one naming PARENT, the directory that holds
# Boost, and then one for each SYSTEM_DIR (stand_in_search_dirs), in order.
# Without SYSTEM_DIRs the personality does not say where the system headers
# are, and Skeld writes a stub for every name Boost includes.
personality_over() {
  local source=$1 parent=$2 copy=$3 dir
  shift 3
  grep -v -E '^[[:space:]]*(-si|-SI|-systeminclude|-SYSTEMINCLUDE)[[:space:]]' "$source" > "$copy" || true
  printf -- '-si "%s"\n' "$parent" >> "$copy"
  for dir in "$@"; do printf -- '-si "%s"\n' "$dir" >> "$copy"; done
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
