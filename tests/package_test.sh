#!/usr/bin/env bash
# Builds the .deb from a build tree, installs it with apt-get, and checks that
# the installed wizard starts (offscreen) and the installed Skeld runs from the
# install directory; removes the package again.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'apt-get remove -y -q headwright >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(realpath "$build"/headwright_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "Depends lacks the Qt 6 runtime"; exit 1; }
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null

home=$(sed -n 's/^Path=//p' /usr/share/applications/headwright-velk.desktop)
[ -x "$home/Skeld" ] && [ -x "$home/velk" ] || { echo "not installed in $home"; exit 1; }

# The wizard is still up after two seconds: it started and waits for the user.
status=0
(cd "$home" && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$scratch timeout 2 ./velk) || status=$?
[ "$status" -eq 124 ] || { echo "velk ended with status $status"; exit 1; }

mkdir -p "$scratch/lib/boost/config/compiler" "$scratch/lib/boost/config/platform" "$scratch/out"
printf '#include <vector>\n' > "$scratch/lib/boost/any.hpp"
cp "$home/examples/msvc.p_c" "$scratch/p.p_c"
(cd "$home" && ./Skeld "$scratch/p.p_c" "$scratch/lib/boost" "$scratch/out") > "$scratch/log"
[ -f "$scratch/out/boost/any.hpp" ] && [ -f "$scratch/out/system/vector" ] || { cat "$scratch/log"; exit 1; }
echo "package $(basename "$deb") installs into $home; velk starts, Skeld runs"
