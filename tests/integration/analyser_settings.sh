#!/usr/bin/env bash
# The shipped settings take part: with all of the personality's -sd entries,
# the settings' among them, Boost reads the two analyser configuration headers
# from the substitute tree. Under the sample MSVC personality, read as on a
# Windows target (MinGW-w64's g++ with Windows headers), the platform is the
# analyser's Windows one, the compiler configuration describes the language
# level in use, and platform-independent Boost libraries compile through the
# tree. Under a personality for a Unix target (g++ on Linux), the platform is
# the one Boost chooses itself.
set -euo pipefail
skeld=$1 data=$2 personality=$3 boost=$4 scratch=$5 here=$(dirname "$0")
source "$here/lib.sh"
require_boost_and_gxx "$boost"
require_mingw

# prepare NAME PERSONALITY: Skeld over BOOST for that personality; sets OUT
# and FLAGS (the edited personality's options).
prepare() {
  local dir=$scratch/$1
  fresh_dir "$dir"
  mkdir "$dir/out"
  boost_alone "$boost" "$dir/include"
  personality_over "$2" "$dir/include" "$dir/personality.p_c"
  run_skeld "$skeld" "$data" "$dir/personality.p_c" "$dir/include/boost" "$dir/out"
  personality_flags "$dir/personality.p_c"
  [[ " ${DEFINES[*]} " == *" -DBOOST_COMPILER_CONFIG="* ]] || fail "settings not in the personality"
  OUT=$dir/out FLAGS=("${INCLUDES[@]}" "${DEFINES[@]}")
}
mkdir -p "$scratch"
printf '#include <boost/config.hpp>\ncompiler BOOST_COMPILER\nplatform BOOST_PLATFORM\n' > "$scratch/probe.cpp"

# configured_as CXX PLATFORM: which headers <boost/config.hpp> reads, and what
# they set.
configured_as() {
  local cxx=("${!1}") platform=$2 dir
  "${cxx[@]}" -std=c++17 -E "${FLAGS[@]}" "$scratch/probe.cpp" > "$scratch/probe.i"
  for dir in compiler platform; do
    grep -q "^# 1 \"$OUT/boost/config/$dir/orvo++.hpp\"" "$scratch/probe.i" ||
      fail "the $dir configuration was not read from $OUT"
  done
  "${cxx[@]}" -std=c++17 -E -P "${FLAGS[@]}" "$scratch/probe.cpp" > "$scratch/probe.txt"
  expected_compiler=$(sed -n 's/^#define BOOST_COMPILER //p' "$data/orvo++_compiler.hpp")
  grep -qxF "compiler $expected_compiler" "$scratch/probe.txt" &&
    grep -qxF "platform $platform" "$scratch/probe.txt" || { cat "$scratch/probe.txt"; fail "probe"; }
  echo "after <boost/config.hpp>: $(grep -E '^(compiler|platform) ' "$scratch/probe.txt" | tr '\n' ' ')"
}

# A Unix target: Boost's own Linux configuration, reached through the tree.
gxx=(g++)
prepare unix "$here/personalities/sun.p_c"
configured_as gxx[@] '"linux"'
grep -q "^# 1 \"$OUT/boost/config/platform/linux.hpp\"" "$scratch/probe.i" ||
  fail "Boost's Linux configuration was not read through the tree"

# A personality that claims the front end's own compiler (Intel's claims
# __GNUC__ and __clang__) leaves Boost no compiler name: Asio's features, the
# noreturn attribute and base-of come from the analyser's configuration.
prepare intel "$here/personalities/intel.p_c"
printf '#include <boost/asio/detail/config.hpp>\n#include <boost/type_traits/intrinsics.hpp>\n' > "$scratch/named.cpp"
g++ -std=c++17 -E -dM "${FLAGS[@]}" "$scratch/named.cpp" > "$scratch/named.txt"
for macro in BOOST_ASIO_HAS_MOVE BOOST_ASIO_HAS_STD_CHRONO BOOST_ASIO_HAS_STD_STRING_VIEW BOOST_IS_BASE_OF; do
  grep -q "^#define $macro\b" "$scratch/named.txt" || fail "$macro is not defined under the Intel personality"
done
grep -q '^#define BOOST_NORETURN __attribute__' "$scratch/named.txt" || fail "BOOST_NORETURN is not the GNU attribute"
echo "no compiler named inside Boost: Asio at C++17, the GNU noreturn attribute, the base-of built-in"

# A Windows target.
mingw=("${MINGW_FRONT_END[@]}" "${MSVC_BUILTINS[@]}")
prepare windows "$personality"
expected_platform=$(sed -n 's/^#define BOOST_PLATFORM //p' "$data/orvo++_windows.hpp")
configured_as mingw[@] "$expected_platform"
flags=("${FLAGS[@]}")
# The language level from __cplusplus alone, and from _MSVC_LANG, in which
# Microsoft's compiler states it while __cplusplus stays 199711L.
level_flags=()
for f in "${flags[@]}"; do [[ $f == -D_MSVC_LANG=* ]] || level_flags+=("$f"); done
flags_at_cxx11=("${level_flags[@]}")

# One feature of each standard, as Boost sees it at each language level.
defined_at() { # STD MACRO: is MACRO defined after <boost/config.hpp>?
  "${mingw[@]}" -std="$1" -E -dM "${level_flags[@]}" "$scratch/probe.cpp" > "$scratch/macros.txt"
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
level_flags+=(-D_MSVC_LANG=201402L)
check_level c++98 0 0 1
echo "language levels c++98, c++11, c++14, c++17: as g++ offers them; _MSVC_LANG raises it"

# At C++11 without the personality's _MSVC_LANG, which states C++17.
for std in c++11 c++17; do
  if [ $std = c++11 ]; then std_flags=("${flags_at_cxx11[@]}"); else std_flags=("${flags[@]}"); fi
  if ! "${mingw[@]}" -std=$std -fsyntax-only "${std_flags[@]}" "$here/portable_libraries.cpp" > "$scratch/portable.log" 2>&1; then
    head -n 40 "$scratch/portable.log"
    fail "platform-independent libraries at $std: $(error_count "$scratch/portable.log") errors"
  fi
  echo "platform-independent libraries at $std: no error"
done
