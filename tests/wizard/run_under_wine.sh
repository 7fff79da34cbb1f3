#!/bin/sh
# Runs a Windows QtTest program under Wine and prints its report. Without a
# console (as under Wine with its output redirected) Qt hands a Windows
# program's messages to the debugger, so the report goes to a file first.
#   run_under_wine.sh PROGRAM [ARGUMENTS...]
set -u
report=$(mktemp)
trap 'rm -f "$report"' EXIT
wine "$@" -o "$(winepath -w "$report"),txt"
status=$?
cat "$report"
exit "$status"
