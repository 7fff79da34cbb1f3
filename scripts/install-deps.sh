#!/usr/bin/env bash
# Installs the Debian packages a fresh machine lacks for one of three sets,
# each holding the one before it:
#   demo   scripts/demo.sh: Skeld alone, Boost's headers, MinGW-w64 as the stand-in
#   build  every preset's build and the packages: velk, the tests, Qt for Windows
#   test   scripts/test.sh: Wine, the installer's tools, sanitizers, fuzzing, checks
#
#   scripts/install-deps.sh [demo|build|test]     # test when not given
set -euo pipefail
set_name=${1:-test}
demo=(
  cmake g++ make                           # Skeld
  libboost-dev                             # a real Boost tree for the demo and the integration tests
  g++-mingw-w64-x86-64                     # Skeld.exe, and the stand-in for the analyser with Windows headers
)
build=(
  libgtest-dev googletest                  # the unit and command-line tests; the Windows build's from source
  qt6-base-dev qt6-tools-dev-tools qt6-l10n-tools   # the velk wizard
  ninja-build dpkg-dev patch               # Qt for Windows, built once from Debian's source
  file wixl msitools                       # the .deb's dependencies, the Windows installer and its PATH entry
  osslsigncode openssl                     # the Windows packages' signatures
)
test=(
  wine wine64 fonts-wine xvfb              # the Windows build under Wine, velk.exe in a real window
  clang libclang-rt-14-dev                 # the fuzz targets and sanitizer runtime
  lintian man-db                           # the package test's checks
  time                                     # the benchmark's peak-memory figure
  gnuplot-nox                              # the header table's chart
  x11-utils x11-apps netpbm                # the installer test finds velk.exe's window and saves its picture
  openbox                                  # scripts/screenshots.sh: window frames as a desktop draws them
  locales                                  # ja_JP.UTF-8, below
)
case $set_name in
  demo) packages=("${demo[@]}") ;;
  build) packages=("${demo[@]}" "${build[@]}") ;;
  test) packages=("${demo[@]}" "${build[@]}" "${test[@]}") ;;
  *) echo "install-deps: no set '$set_name' (demo, build or test)" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# The Unicode-path suite runs Wine in a Japanese locale, whose code page (932)
# puts 0x5C, '\', inside characters.
if [ "$set_name" = test ] && ! locale -a | grep -qx 'ja_JP.utf8'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
