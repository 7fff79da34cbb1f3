#!/usr/bin/env bash
# The whole test suite on a fresh Debian machine: installs what is missing,
# builds Skeld and velk natively and for Windows (Qt for Windows once, into a
# cache outside the clone), and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}

bash scripts/install-deps.sh

# Qt for Windows: built once (about 35 minutes), then taken from its cache.
HEADWRIGHT_QT_WINDOWS=$(bash scripts/build-qt-windows.sh | tail -n 1)
export HEADWRIGHT_QT_WINDOWS
cmake --preset windows
cmake --build build-win -j"$jobs"

cmake --preset native
cmake --build build -j"$jobs"

# Wine's first start creates its prefix; do it once, and keep one wineserver
# for all the Windows cases.
export WINEDEBUG=-all
wineboot -i >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

ctest --test-dir build -j"$jobs" --output-on-failure
# The Windows build's own suites: velk.exe's under Wine, and its installer.
ctest --test-dir build-win --output-on-failure

# The product as a user gets it: the .deb installed with apt-get.
bash tests/package_test.sh build

# Once more under AddressSanitizer and UndefinedBehaviorSanitizer, and a short
# run of every fuzz target, so both keep building and stay clean.
wineserver -k >/dev/null 2>&1 || true
bash scripts/sanitize.sh
bash fuzz/run.sh "${FUZZ_SECONDS:-10}"
