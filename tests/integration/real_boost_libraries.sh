#!/usr/bin/env bash
# Skeld over a real Boost: a program that uses a dozen Boost libraries,
# threads, file system and time among them, compiles through the substitute
# tree with the whole edited personality, and fails with the personality's
# macros alone. Once with the sample MSVC personality, read as on a Windows
# target (MinGW-w64's g++ with Windows system headers stands in for the
# analyser), then with personalities of compilers that target Unix, with g++
# on Linux.
set -euo pipefail
skeld=$1 data=$2 personality=$3 boost=$4 scratch=$5 here=$(dirname "$0")
source "$here/lib.sh"
require_boost_and_gxx "$boost"
require_mingw

fresh_dir "$scratch"
boost_alone "$boost" "$scratch/include"
program=$here/dozen_libraries.cpp

# dozen NAME PERSONALITY FRONT_END...: Skeld for the personality, then the
# program through the tree and with the personality's macros alone.
dozen() {
  local name=$1 p=$2 dir=$scratch/$1 status=0 errors system_dirs
  shift 2
  mkdir -p "$dir/out"
  # The personality names the front end's system directories, as a real one
  # names its compiler's: the stubs are those of the headers it has.
  mapfile -t system_dirs < <(stand_in_search_dirs "$@")
  personality_over "$p" "$scratch/include" "$dir/personality.p_c" "${system_dirs[@]}"
  cp "$dir/personality.p_c" "$dir/original.p_c"
  run_skeld "$skeld" "$data" "$dir/personality.p_c" "$scratch/include/boost" "$dir/out"
  personality_flags "$dir/personality.p_c"
  # The tree comes first on the include path, Boost's parent and the system
  # directories after it.
  local expected=("-I$dir/out/system" "-I$dir/out" "-I$scratch/include" "${system_dirs[@]/#/-I}")
  [ "${INCLUDES[*]}" = "${expected[*]}" ] || fail "$name: include order ${INCLUDES[*]}, expected ${expected[*]}"
  if ! "$@" -std=c++17 -fsyntax-only "${INCLUDES[@]}" "${DEFINES[@]}" "$program" > "$dir/tree.log" 2>&1; then
    head -n 40 "$dir/tree.log"
    fail "$name: errors through the substitute tree: $(error_count "$dir/tree.log")"
  fi
  personality_flags "$dir/original.p_c"
  "$@" -std=c++17 -fsyntax-only "${INCLUDES[@]}" "${DEFINES[@]}" "$program" > "$dir/macros_only.log" 2>&1 || status=$?
  errors=$(error_count "$dir/macros_only.log")
  [ "$status" -ne 0 ] && [ "$errors" -gt 0 ] || fail "$name: the program compiled with the personality's macros alone"
  echo "$name: no error through the substitute tree, $errors with the personality's macros alone"
}

dozen msvc "$personality" "${MINGW_FRONT_END[@]}" "${MSVC_BUILTINS[@]}"
# The Unix targets read Boost's own Linux platform configuration through the
# tree; the analyser's Windows one would leave Boost.Thread without threads.
dozen sun "$here/personalities/sun.p_c" g++
dozen xlc "$here/personalities/xlc.p_c" g++
