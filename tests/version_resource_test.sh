#!/bin/sh
# The version resource of each program, read back from the .exe as Windows'
# Properties > Details shows it.
#   version_resource_test.sh WINDRES VERSION PROGRAM.exe...
set -eu
windres=$1
version=$2
shift 2
status=0
for program in "$@"; do
    name=$(basename "$program" .exe)
    resource=$("$windres" -i "$program" -O rc) || { echo "FAIL: $program: no resources"; status=1; continue; }
    numbers=$(echo "$version" | sed 's/\./, /g')
    for wanted in \
        " FILEVERSION $numbers, 0" \
        " PRODUCTVERSION $numbers, 0" \
        "VALUE \"FileVersion\", \"$version\"" \
        "VALUE \"ProductVersion\", \"$version\"" \
        "VALUE \"ProductName\", \"Headwright\"" \
        "VALUE \"OriginalFilename\", \"$name.exe\"" \
        "VALUE \"LegalCopyright\", \"Copyright (c) 2026 Headwright developers" \
        "VALUE \"FileDescription\", \"Headwright "; do
        if ! printf '%s\n' "$resource" | grep -qF -- "$wanted"; then
            echo "FAIL: $program lacks $wanted"
            status=1
        fi
    done
done
exit $status
