#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed Skeld from
# an empty working folder: it finds its data files in ../share/headwright
# beside its own folder, wherever the prefix is.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/Skeld share/headwright/possible_defines.txt share/headwright/treat_as_nonboost.txt \
         share/headwright/boost_compiler_person_settings.txt share/headwright/orvo++_compiler.hpp \
         share/headwright/orvo++_windows.hpp share/headwright/borland share/doc/headwright/README.md \
         share/doc/headwright/copyright share/doc/headwright/changelog.gz share/doc/headwright/examples/msvc.p_c \
         share/man/man1/Skeld.1.gz; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
bash "$(dirname "$0")/doc_links_test.sh" "$prefix/share/doc/headwright" README.md ARCHITECTURE.md docs/packages.md \
  docs/build-step.md docs/record.md docs/encodings.md
# The menu entry and its icon go below the prefix too, not into the system's
# own folders.
if [ -x "$build/bin/velk" ]; then
  for f in bin/velk share/applications/headwright-velk.desktop share/icons/hicolor/32x32/apps/velk.png \
           share/man/man1/velk.1.gz; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
  done
fi

mkdir -p "$scratch/lib/boost/config/compiler" "$scratch/lib/boost/config/platform" "$scratch/out" "$scratch/work"
printf '#include <vector>\n' > "$scratch/lib/boost/any.hpp"
printf -- '-sd _MSC_VER=1900\n-si "%s/lib"\n' "$scratch" > "$scratch/p.p_c"

cd "$scratch/work"
"$prefix/bin/Skeld" "$scratch/p.p_c" "$scratch/lib/boost" "$scratch/out" > "$scratch/log"
# The shipped exclusion list names directories this small tree lacks: those
# show as "failed FINDFIRSTFILE" lines in between.
[ "$(head -n 1 "$scratch/log")" = "Creating compiler header Files ..." ] &&
  [ "$(tail -n 2 "$scratch/log" | head -n 1)" = "Modifying Compiler Personality..." ] &&
  grep -qx "Files written: [0-9]*, left unchanged: 0, removed: 0" "$scratch/log" &&
  ! grep -q "^Couldn" "$scratch/log" || { echo "unexpected output:"; cat "$scratch/log"; exit 1; }
cmp -s "$prefix/share/headwright/orvo++_compiler.hpp" "$scratch/out/boost/config/compiler/orvo++.hpp" ||
  { echo "compiler config not copied"; exit 1; }
[ -f "$scratch/out/system/vector" ] && [ -f "$scratch/out/system/yvals.h" ] || { echo "stubs missing"; exit 1; }
head -n 4 "$scratch/p.p_c" | grep -q "^-si \"$scratch/out/system\"$" || { echo "personality not edited"; cat "$scratch/p.p_c"; exit 1; }
echo "installed Skeld ran from an empty folder with the data of $prefix/share/headwright"
