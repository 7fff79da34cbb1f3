#!/usr/bin/env bash
# Through the tree, __has_include answers as without it: Asio asks
# __has_include(<__config>), a header of a standard library clang++ here does
# not have, so no stub may stand for it. clang++ reads Asio, Beast and Process
# through the tree under personalities that name its system directories and
# leave its __clang__ standing (Sun, xlC, EDG), in an output that a run over
# the personality without them made first.
set -euo pipefail
skeld=$1 data=$2 boost=$3 scratch=$4 here=$(dirname "$0")
source "$here/lib.sh"
[ -f "$boost/asio.hpp" ] && [ -f "$boost/beast.hpp" ] && [ -f "$boost/process.hpp" ] ||
  skip "no Asio, Beast and Process in $boost"
command -v clang++ >/dev/null || skip "clang++ not found"

fresh_dir "$scratch"
boost_alone "$boost" "$scratch/include"
mapfile -t system_dirs < <(stand_in_search_dirs clang++)
printf '#include <boost/asio.hpp>\n#include <boost/beast.hpp>\n#include <boost/process.hpp>\n' > "$scratch/program.cpp"
for p in sun xlc edg; do
  dir=$scratch/$p
  mkdir -p "$dir/out"
  # First without the front end's directories: no way to tell, every name
  # keeps its stub. Then the personality gains them, as after a compiler
  # upgrade, and a run into the same output takes away what would now lie.
  personality_over "$here/personalities/$p.p_c" "$scratch/include" "$dir/personality.p_c"
  run_skeld "$skeld" "$data" "$dir/personality.p_c" "$scratch/include/boost" "$dir/out"
  [ -f "$dir/out/system/__config" ] || fail "$p: no stub for <__config> where the personality names no system directory"
  personality_over "$here/personalities/$p.p_c" "$scratch/include" "$dir/personality.p_c" "${system_dirs[@]}"
  run_skeld "$skeld" "$data" "$dir/personality.p_c" "$scratch/include/boost" "$dir/out"
  [ ! -e "$dir/out/system/__config" ] || fail "$p: a stub for <__config>, which clang++ here does not have, after a run again"
  [ -f "$dir/out/system/vector" ] || fail "$p: no stub for <vector>, which clang++ has"
  personality_flags "$dir/personality.p_c"
  if ! clang++ -std=c++17 -fsyntax-only "${INCLUDES[@]}" "${DEFINES[@]}" "$scratch/program.cpp" > "$dir/tree.log" 2>&1; then
    head -n 20 "$dir/tree.log"
    fail "$p: Asio, Beast and Process do not read through the tree"
  fi
  echo "$p: Asio, Beast and Process read through the tree with clang++"
done
