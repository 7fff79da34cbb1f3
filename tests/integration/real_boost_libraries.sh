#!/usr/bin/env bash
# Skeld over a real Boost with the sample MSVC personality, read as on a
# Windows target: MinGW-w64's g++ with Windows system headers stands in for
# the analyser. A program that uses a dozen Boost libraries, threads, file
# system and time among them, compiles through the substitute tree with the
# whole edited personality, and fails with the personality's macros alone.
set -euo pipefail
skeld=$1 data=$2 personality=$3 boost=$4 scratch=$5 here=$(dirname "$0")
source "$here/lib.sh"
require_boost_and_gxx "$boost"
require_mingw

fresh_dir "$scratch"
mkdir "$scratch/out"
boost_alone "$boost" "$scratch/include"
personality_over "$personality" "$scratch/include" "$scratch/personality.p_c"
cp "$scratch/personality.p_c" "$scratch/original.p_c"
run_skeld "$skeld" "$data" "$scratch/personality.p_c" "$scratch/include/boost" "$scratch/out"

personality_flags "$scratch/personality.p_c"
expected=("-I$scratch/out/system" "-I$scratch/out" "-I$scratch/include")
[ "${INCLUDES[*]}" = "${expected[*]}" ] ||
  fail "include order ${INCLUDES[*]}, expected ${expected[*]}"
[[ " ${DEFINES[*]} " == *" -D_MSC_VER=1938 "* ]] || fail "no _MSC_VER in ${DEFINES[*]}"

front_end=("${MINGW_FRONT_END[@]}" "${MSVC_BUILTINS[@]}" -std=c++17 -fsyntax-only)
program=$here/dozen_libraries.cpp
if ! "${front_end[@]}" "${INCLUDES[@]}" "${DEFINES[@]}" "$program" > "$scratch/tree.log" 2>&1; then
  head -n 40 "$scratch/tree.log"
  fail "errors through the substitute tree: $(error_count "$scratch/tree.log")"
fi
echo "through the substitute tree: no error"

# The same macros without the tree make Boost take the program for MSVC.
personality_flags "$scratch/original.p_c"
status=0
"${front_end[@]}" "${INCLUDES[@]}" "${DEFINES[@]}" "$program" > "$scratch/macros_only.log" 2>&1 || status=$?
errors=$(error_count "$scratch/macros_only.log")
[ "$status" -ne 0 ] && [ "$errors" -gt 0 ] || fail "the program compiled with the personality's macros alone"
echo "with the personality's macros alone: $errors errors"
