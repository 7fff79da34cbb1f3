#!/usr/bin/env bash
# The main job on a bundled default, from a fresh Debian machine: installs what
# is missing, builds, runs Skeld with the sample MSVC personality over the
# system's Boost headers, and shows what the substitute tree changes, with
# MinGW-w64's g++ and its Windows headers standing in for the analyser.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

# Only what the demo needs: Skeld alone (no velk, no tests), Boost, MinGW-w64.
bash scripts/install-deps.sh demo
cmake --preset skeld >/dev/null
cmake --build build-skeld -j"${JOBS:-2}" --target Skeld skeld_data

source scripts/stand_in.sh
work=$(mktemp -d /tmp/headwright-demo.XXXXXX)
mkdir "$work/out"
# The personality names the directory that holds Boost, as a user's would,
# and the front end's system directories, as a real one names its compiler's;
# a directory that holds only a link to /usr/include/boost keeps Linux's own
# headers off the Windows front end's include path.
boost_alone /usr/include/boost "$work/include"
mapfile -t system_dirs < <(stand_in_search_dirs "${MINGW_FRONT_END[@]}")
personality_over examples/msvc.p_c "$work/include" "$work/msvc.p_c" "${system_dirs[@]}"
cp "$work/msvc.p_c" "$work/msvc-before.p_c"

echo "== Skeld over $work/include/boost (a link to /usr/include/boost)"
(cd build-skeld/bin && ./Skeld "$work/msvc.p_c" "$work/include/boost" "$work/out")
echo
echo "Substitute tree:      $work/out"
echo "Edited personality:   $work/msvc.p_c"
echo

# -si entries become -I, -sd entries -D.
compile() {
  personality_flags "$1"
  "${MINGW_FRONT_END[@]}" -std=c++17 -fsyntax-only "${INCLUDES[@]}" "${DEFINES[@]}" examples/boost_program.cpp 2> "$2"
}

echo "== MinGW-w64 g++ with the personality's MSVC macros, without the substitute tree"
if compile "$work/msvc-before.p_c" "$work/without.log"; then
  echo "compiled (unexpected: this Boost does not react to the MSVC macros)"
else
  echo "fails: $(error_count "$work/without.log") errors (see $work/without.log), the first:"
  grep -m1 'error:' "$work/without.log"
fi
echo
echo "== the same through the substitute tree (the edited personality)"
if compile "$work/msvc.p_c" "$work/with.log"; then
  echo "compiles without error"
else
  echo "fails:"; head -n 20 "$work/with.log"; exit 1
fi
echo
echo "The demo took $((SECONDS / 60)) min $((SECONDS % 60)) s, its set-up included."
