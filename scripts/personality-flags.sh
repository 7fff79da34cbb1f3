#!/usr/bin/env bash
# Prints a personality's include and define options as g++ options, one per
# line, in the personality's order: -si "dir" becomes -I dir, -sd X becomes -DX
# (the text after "-sd " verbatim, quotes included).
set -euo pipefail
while IFS= read -r line || [ -n "$line" ]; do
  line=${line%$'\r'}
  case "$line" in
    "-si "*) dir=${line#-si }; dir=${dir#\"}; dir=${dir%\"}; printf -- '-I%s\n' "$dir" ;;
    "-sd "*) printf -- '-D%s\n' "${line#-sd }" ;;
  esac
done < "$1"
