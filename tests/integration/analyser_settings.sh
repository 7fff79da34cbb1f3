#!/usr/bin/env bash
# The shipped settings take part: with all of the personality's -sd entries,
# the settings' among them, Boost reads the two analyser configuration headers
# from the substitute tree, they describe the language level g++ runs with,
# and platform-independent Boost libraries compile through the tree.
set -euo pipefail
skeld=$1 data=$2 personality=$3 boost=$4 scratch=$5 here=$(dirname "$0")
source "$here/lib.sh"
require_boost_and_gxx "$boost"

fresh_dir "$scratch/out"
out=$scratch/out
cp "$personality" "$scratch/personality.p_c"
run_skeld "$skeld" "$data" "$scratch/personality.p_c" "$boost" "$out"
personality_flags "$scratch/personality.p_c"
[[ " ${DEFINES[*]} " == *" -DBOOST_COMPILER_CONFIG="* ]] || fail "settings not in the personality"
flags=("${INCLUDES[@]}" "${DEFINES[@]}")

# Which headers <boost/config.hpp> reads, and what they set.
printf '#include <boost/config.hpp>\ncompiler BOOST_COMPILER\nplatform BOOST_PLATFORM\n' > "$scratch/probe.cpp"
g++ -std=c++17 -E "${flags[@]}" "$scratch/probe.cpp" > "$scratch/probe.i"
for dir in compiler platform; do
  grep -q "^# 1 \"$out/boost/config/$dir/orvo++.hpp\"" "$scratch/probe.i" ||
    fail "the $dir configuration was not read from $out"
done
g++ -std=c++17 -E -P "${flags[@]}" "$scratch/probe.cpp" > "$scratch/probe.txt"
expected_compiler=$(sed -n 's/^#define BOOST_COMPILER //p' "$data/orvo++_compiler.hpp")
expected_platform=$(sed -n 's/^#define BOOST_PLATFORM //p' "$data/orvo++_windows.hpp")
grep -qxF "compiler $expected_compiler" "$scratch/probe.txt" &&
  grep -qxF "platform $expected_platform" "$scratch/probe.txt" || { cat "$scratch/probe.txt"; fail "probe"; }
echo "after <boost/config.hpp>: $(grep -E '^(compiler|platform) ' "$scratch/probe.txt" | tr '\n' ' ')"

# One feature of each standard, as Boost sees it at each language level.
defined_at() { # STD MACRO: is MACRO defined after <boost/config.hpp>?
  g++ -std="$1" -E -dM "${flags[@]}" "$scratch/probe.cpp" > "$scratch/macros.txt"
  grep -q "^#define $2\b" "$scratch/macros.txt"
}
check_level() { # STD, then 1 or 0 for each macro: whether it must be defined
  local std=$1 macro
  shift
  for macro in BOOST_NO_CXX11_RVALUE_REFERENCES BOOST_NO_CXX14_CONSTEXPR BOOST_NO_CXX17_IF_CONSTEXPR; do
    if defined_at "$std" "$macro"; then [ "$1" = 1 ] || fail "$macro defined at $std"
    else [ "$1" = 0 ] || fail "$macro not defined at $std"; fi
    shift
  done
}
check_level c++98 1 1 1
check_level c++11 0 1 1
check_level c++14 0 0 1
check_level c++17 0 0 0
echo "language levels c++98, c++11, c++14, c++17: as g++ offers them"

for std in c++11 c++17; do
  if ! g++ -std=$std -fsyntax-only "${flags[@]}" "$here/portable_libraries.cpp" > "$scratch/portable.log" 2>&1; then
    head -n 40 "$scratch/portable.log"
    fail "platform-independent libraries at $std: $(error_count "$scratch/portable.log") errors"
  fi
  echo "platform-independent libraries at $std: no error"
done
