#!/usr/bin/env bash
# The whole test suite on a fresh Debian machine: installs what is missing,
# builds Skeld natively and for Windows, velk with Qt 6, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}

bash scripts/install-deps.sh

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

# The product as a user gets it: the .deb installed with apt-get.
bash tests/package_test.sh build

# Once more under AddressSanitizer and UndefinedBehaviorSanitizer, and a short
# run of every fuzz target, so both keep building and stay clean.
wineserver -k >/dev/null 2>&1 || true
bash scripts/sanitize.sh
bash fuzz/run.sh "${FUZZ_SECONDS:-10}"
