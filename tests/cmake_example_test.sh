#!/usr/bin/env bash
# The CMake build step of examples/cmake-build-step over a small Boost tree:
# the first build makes the tree, the second finds it current and runs no
# Skeld, a build after Boost changed brings the new header, and a build whose
# check answers 2 (the output belongs to another personality) fails.
#   tests/cmake_example_test.sh SKELD EXAMPLE_DIR
set -euo pipefail
skeld=$1
example=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "cmake example: $*"; [ ! -f "$scratch/log" ] || cat "$scratch/log"; exit 1; }

mkdir -p "$scratch/lib/boost/config/compiler" "$scratch/lib/boost/config/platform"
printf '#include <vector>\n' > "$scratch/lib/boost/any.hpp"
printf -- '-sd _MSC_VER=1900\n-si "%s/lib"\n' "$scratch" > "$scratch/p.p_c"
cp "$scratch/p.p_c" "$scratch/other.p_c"
tree=$scratch/build/boost-config

configure() {  # PERSONALITY
  cmake -S "$example" -B "$scratch/build" -DSKELD="$skeld" -DORVO_PERSONALITY="$1" \
        -DBOOST_HEADERS="$scratch/lib/boost" > "$scratch/log" 2>&1 || fail "configure failed"
}
build() {  # prints the build's status
  local status=0
  cmake --build "$scratch/build" > "$scratch/log" 2>&1 || status=$?
  echo "$status"
}

configure "$scratch/p.p_c"
[ "$(build)" = 0 ] || fail "the first build failed"
grep -q "is stale (Check: status=1 .*): running Skeld" "$scratch/log" || fail "the first build did not run Skeld"
[ -f "$tree/boost/any.hpp" ] && [ -f "$tree/skeld-record.txt" ] || fail "the first build made no tree"
grep -q "^-si \"$tree\"$" "$scratch/p.p_c" || fail "the personality was not edited"

touch -d '2000-01-01' "$tree/boost/any.hpp"
[ "$(build)" = 0 ] || fail "the build over a current tree failed"
grep -q "is current (Check: status=0 write=0 remove=0 add=0 record=0 refuse=none)" "$scratch/log" ||
  fail "the second build did not find the tree current"
[ "$(stat -c %Y "$tree/boost/any.hpp")" = "$(date -d '2000-01-01' +%s)" ] || fail "the current tree was written"

printf '#include <map>\n' > "$scratch/lib/boost/bimap.hpp"
[ "$(build)" = 0 ] || fail "the build after Boost changed failed"
grep -q "is stale (Check: status=1 write=[1-9]" "$scratch/log" || fail "Boost's change was not seen"
[ -f "$tree/boost/bimap.hpp" ] || fail "the new Boost header did not reach the tree"

configure "$scratch/other.p_c"
[ "$(build)" != 0 ] || fail "a build whose check answers 2 passed"
grep -q "Skeld --check cannot bring" "$scratch/log" && grep -q "refuse=other-personality" "$scratch/log" ||
  fail "the refusal was not reported"
echo "cmake example: made, current, stale after Boost changed, refused"
