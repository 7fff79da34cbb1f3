#!/usr/bin/env bash
# Builds the .deb from a build tree, checks it with Debian's lintian, installs
# it with apt-get and uses it as a user would, from PATH; then purges it and
# checks that nothing of it is left.
# It refuses to run where headwright is installed already: its install and
# purge would replace and then remove the host's own copy.
set -euo pipefail
build=$1
fail() { echo "package test: $*"; exit 1; }

state=$(dpkg-query -W -f='${db:Status-Status}' headwright 2>/dev/null || true)
if [ -n "$state" ] && [ "$state" != not-installed ]; then
  fail "headwright is installed on this machine ($(dpkg-query -W -f='${Version}' headwright), dpkg state $state):" \
       "the test installs and purges its own package and would take it away; remove it first" \
       "(apt-get purge headwright) or run the test elsewhere"
fi
scratch=$(mktemp -d)
installed=0
trap '[ "$installed" = 0 ] || apt-get purge -y -q headwright >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

# The package of this build's version, named by cpack as it makes it: not
# whichever headwright_*.deb an older build left in the folder.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
(cd "$build" && cpack -G DEB) > "$scratch/cpack.log" || { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$scratch/cpack.log")
[ -f "$deb" ] || { cat "$scratch/cpack.log"; fail "cpack named no .deb"; }
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$(basename "$deb") is version $(dpkg-deb -f "$deb" Version), the build $version"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Depends lacks the Qt 6 runtime"

# No error and no warning; informational tags are listed, not fatal.
lintian --fail-on error,warning --display-info "$deb" 2>/dev/null || fail "lintian rejects $(basename "$deb")"

installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null
dpkg -L headwright > "$scratch/files"

[ "$(command -v Skeld)" = /usr/bin/Skeld ] && [ "$(command -v velk)" = /usr/bin/velk ] || fail "not on PATH"
[ "$(Skeld --version)" = "Skeld (Headwright) $version" ] || fail "Skeld --version: $(Skeld --version)"
[ "$(man -w Skeld)" = /usr/share/man/man1/Skeld.1.gz ] || fail "man -w Skeld: $(man -w Skeld 2>&1)"
bash "$(dirname "$0")/doc_links_test.sh" /usr/share/doc/headwright README.md ARCHITECTURE.md docs/packages.md \
  docs/build-step.md examples/cmake-build-step/CMakeLists.txt || fail "the installed documentation has broken links"

# A run in an empty folder: the data files come from /usr/share/headwright.
work=$scratch/work
mkdir -p "$work/out"
cp /usr/share/doc/headwright/examples/msvc.p_c "$work/"
status=0
(cd "$work" && Skeld "$work/msvc.p_c" /usr/include/boost "$work/out") > "$scratch/log" || status=$?
[ "$status" -eq 0 ] && [ "$(head -n 1 "$scratch/log")" = "Creating compiler header Files ..." ] ||
  { cat "$scratch/log"; fail "Skeld ended with status $status"; }
[ -f "$work/out/boost/version.hpp" ] && [ -n "$(ls "$work/out/system")" ] || fail "no substitute tree"
cmp -s /usr/share/headwright/orvo++_compiler.hpp "$work/out/boost/config/compiler/orvo++.hpp" ||
  fail "compiler configuration header not copied"
printf -- '-si "%s"\n-q "%s"\n-si "%s"\n-q "%s"\n' "$work/out/system" "$work/out/system" "$work/out" "$work/out" \
  > "$scratch/top"
head -n 4 "$work/msvc.p_c" | cmp -s - "$scratch/top" || { cat "$work/msvc.p_c"; fail "personality not edited"; }
tail -n "$(wc -l < /usr/share/headwright/boost_compiler_person_settings.txt)" "$work/msvc.p_c" |
  cmp -s - /usr/share/headwright/boost_compiler_person_settings.txt || fail "settings not appended"

# The wizard is still up after two seconds: it started and waits for the user.
status=0
(cd "$work" && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$scratch timeout 2 velk) || status=$?
[ "$status" -eq 124 ] || fail "velk ended with status $status"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -q headwright >/dev/null
state=$(dpkg-query -W -f='${db:Status-Status}' headwright 2>/dev/null || true)
[ -z "$state" ] || [ "$state" = not-installed ] || fail "dpkg still has it as $state"
# What is left of the package's paths must belong to another package.
while read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  dpkg -S "$path" >/dev/null 2>&1 || fail "left behind: $path"
done < "$scratch/files"
echo "package $(basename "$deb"): lintian clean; Skeld, velk and man Skeld from PATH; the documentation's links;" \
     "purged without a trace"
