#!/usr/bin/env bash
# Every relative link of the Markdown files in a documentation tree (the
# source's, or one a package installed) leads to a file of that tree, and a
# link to a section to a heading of that file: what a reader of the installed
# README clicks must be there.
#   tests/doc_links_test.sh DOC_DIR [EXPECTED_FILE...]
# EXPECTED_FILE: paths below DOC_DIR that must be there (the README, docs/...),
# so that a tree that lost its documentation does not pass with nothing to walk.
set -euo pipefail
root=$(cd "$1" && pwd -P)
shift
fail=0
for f in "$@"; do
  [ -f "$root/$f" ] || { echo "doc links: $root/$f is not installed"; fail=1; }
done

# A heading's anchor as the usual Markdown renderers make it: lower case,
# punctuation but '-' and '_' dropped, each space a '-'.
anchors() {
  sed -n 's/^#\{1,6\} \(.*\)$/\1/p' "$1" | tr 'A-Z' 'a-z' | sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}

count=0
while IFS= read -r -d '' md; do
  dir=$(dirname "$md")
  # Inline links and images, [text](target) or ![alt](target); code spans and
  # fenced blocks hold no links here.
  while IFS= read -r link; do
    case $link in
      http://* | https://* | mailto:*) continue ;;
    esac
    count=$((count + 1))
    path=${link%%#*}
    anchor=
    [ "$path" = "$link" ] || anchor=${link#*#}
    target=$md
    [ -z "$path" ] || target=$dir/$path
    where="${md#"$root"/}: ($link)"
    if [ ! -e "$target" ]; then
      echo "doc links: $where leads nowhere"; fail=1; continue
    fi
    resolved=$(cd "$(dirname "$target")" && pwd -P)/$(basename "$target")
    case $resolved in
      "$root"/*) ;;
      *) echo "doc links: $where leads out of $root"; fail=1; continue ;;
    esac
    if [ -n "$anchor" ] && ! anchors "$target" | grep -qxF -- "$anchor"; then
      echo "doc links: $where names no heading of ${target#"$root"/}"; fail=1
    fi
  done < <(sed '/^```/,/^```/d' "$md" | grep -o '\]([^) ]*)' | sed 's/^](\(.*\))$/\1/')
done < <(find "$root" -name '*.md' -print0)

[ "$count" -gt 0 ] || { echo "doc links: no link found below $root"; fail=1; }
[ "$fail" = 0 ] || exit 1
echo "doc links: all $count relative links below $root resolve"
