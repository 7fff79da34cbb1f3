#!/usr/bin/env bash
# The whole test suite on a fresh Debian machine: installs what is missing,
# builds Skeld and velk natively and for Windows (Qt for Windows once, into a
# cache outside the clone), and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}

bash scripts/install-deps.sh test

# A suite must not pass by running nothing: every ctest call fails when it
# finds no test, each label of a build must still hold tests, and what was
# skipped is listed with the reason it printed (CTest itself shows none).
require_labels() { # BUILD LABEL...
  local build=$1 label count
  shift
  for label in "$@"; do
    count=$(ctest --test-dir "$build" -N -L "^$label\$" | sed -n 's/^Total Tests: //p')
    [ "${count:-0}" -gt 0 ] || { echo "test.sh: $build has no '$label' tests" >&2; exit 1; }
  done
}
run_ctest() { # BUILD [CTEST OPTION...]
  local build=$1 status=0
  shift
  ctest --test-dir "$build" --no-tests=error --output-on-failure "$@" || status=$?
  awk '/^[0-9]+\/[0-9]+ Test: / { name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name); next }
       /^SKIPPED: / { print "skipped: " name ": " substr($0, 10); next }
       /: Skipped$/ { getline; print "skipped: " name ": " $0 }' "$build/Testing/Temporary/LastTest.log" 2>/dev/null || true
  return "$status"
}

# The Windows packages signed as a release signs them, with a certificate
# authority made for this run: the installer test checks every signature
# against it. No time-stamp server: CI has no network.
signing=$(mktemp -d)
trap 'rm -rf "$signing"' EXIT
eval "export $(bash scripts/throwaway-signing.sh "$signing" | tr '\n' ' ')"
unset HEADWRIGHT_TIMESTAMP_URL

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
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$signing"' EXIT

require_labels build native windows integration wizard
run_ctest build -j"$jobs"
# The Windows build's own suites: velk.exe's under Wine, and its installer.
require_labels build-win wizard windows
run_ctest build-win

# The header table's chart is the one its page's table draws.
chart=$(mktemp --suffix=.png)
bash scripts/header_chart.sh docs/header-table.md "$chart" >/dev/null
cmp -s "$chart" docs/header-table.png ||
  { echo "test.sh: docs/header-table.png is not the chart of docs/header-table.md:" \
         "bash scripts/header_chart.sh docs/header-table.md" >&2; rm -f "$chart"; exit 1; }
rm -f "$chart"

# The product as a user gets it: the .deb installed with apt-get.
bash tests/package_test.sh build

# Once more under AddressSanitizer and UndefinedBehaviorSanitizer, and a short
# run of every fuzz target, so both keep building and stay clean.
wineserver -k >/dev/null 2>&1 || true
bash scripts/sanitize.sh
bash fuzz/run.sh "${FUZZ_SECONDS:-10}"
