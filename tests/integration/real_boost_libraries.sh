#!/usr/bin/env bash
# Skeld over a real Boost with the sample MSVC personality: a program that
# uses a dozen Boost libraries compiles through the substitute tree with the
# personality's macros, and fails without the tree. The settings lines are
# left out here: the Windows platform configuration cannot serve Boost.Thread
# on Linux (analyser_settings.sh covers them).
set -euo pipefail
skeld=$1 data=$2 personality=$3 boost=$4 scratch=$5 here=$(dirname "$0")
source "$here/lib.sh"
require_boost_and_gxx "$boost"

fresh_dir "$scratch/out"
cp "$personality" "$scratch/personality.p_c"
run_skeld "$skeld" "$data" "$scratch/personality.p_c" "$boost" "$scratch/out"

personality_flags "$scratch/personality.p_c" "$data/boost_compiler_person_settings.txt"
expected=("-I$scratch/out/system" "-I$scratch/out" "-I$(dirname "$boost")")
[ "${INCLUDES[*]}" = "${expected[*]}" ] ||
  fail "include order ${INCLUDES[*]}, expected ${expected[*]}"
[[ " ${DEFINES[*]} " == *" -D_MSC_VER=1900 "* ]] || fail "no _MSC_VER in ${DEFINES[*]}"

program=$here/dozen_libraries.cpp
if ! g++ -std=c++17 -fsyntax-only "${INCLUDES[@]}" "${DEFINES[@]}" "$program" > "$scratch/tree.log" 2>&1; then
  head -n 40 "$scratch/tree.log"
  fail "errors through the substitute tree: $(error_count "$scratch/tree.log")"
fi
echo "through the substitute tree: no error"

# The same macros without the tree make Boost take the program for MSVC.
status=0
g++ -std=c++17 -fsyntax-only "-I$(dirname "$boost")" "${DEFINES[@]}" "$program" > "$scratch/defines_only.log" 2>&1 || status=$?
errors=$(error_count "$scratch/defines_only.log")
[ "$status" -ne 0 ] && [ "$errors" -gt 0 ] || fail "the program compiled with only the -D options"
echo "with only ${DEFINES[*]}: $errors errors"
