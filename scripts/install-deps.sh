#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build Headwright and run its tests.
set -euo pipefail
packages=(
  cmake g++ make libgtest-dev              # Skeld and its unit and command-line tests
  g++-mingw-w64-x86-64 wine wine64         # the Windows build, tested under Wine
  ninja-build                              # Qt for Windows, built once from Debian's source
  wixl fonts-wine xvfb                     # the Windows installer; velk.exe in a real window under Wine
  libboost-dev                             # a real Boost tree for the integration tests and the demo
  qt6-base-dev qt6-tools-dev-tools qt6-l10n-tools   # the velk wizard
  clang libclang-rt-14-dev                 # the fuzz targets and sanitizer runtime
  dpkg-dev file lintian man-db patch       # packaging, the package test's checks, our change to Qt
  time                                     # the benchmark's peak-memory figure
  x11-utils x11-apps netpbm                # the installer test finds velk.exe's window and saves its picture
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
