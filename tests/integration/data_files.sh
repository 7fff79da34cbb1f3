#!/usr/bin/env bash
# The shipped data files as Skeld reads them: a stray blank line, carriage
# return or space silently changes what Skeld does with them.
set -euo pipefail
data=$1 boost=$2 here=$(dirname "$0")
source "$here/lib.sh"
defines=$data/possible_defines.txt settings=$data/boost_compiler_person_settings.txt
nonboost=$data/treat_as_nonboost.txt
TMPDIR_DATA=$(mktemp -d)
trap 'rm -rf "$TMPDIR_DATA"' EXIT

for f in "$defines" "$settings"; do
  # Every line is an entry: a blank one is the empty entry.
  ! grep -n -e '^$' -e $'\r' -e '[[:space:]]$' -e '^[[:space:]]' "$f" || fail "blank, CR or padded line in $f"
  [ -z "$(tail -c 1 "$f")" ] || fail "$f does not end with a line feed"
  [ -z "$(sort "$f" | uniq -d)" ] || fail "repeated lines in $f: $(sort "$f" | uniq -d)"
done
# A note line begins with "# ": no define line holds that text.
! grep -v -e '^[A-Za-z_][A-Za-z0-9_]*$' -e '^# ' "$defines" || fail "neither a macro name nor a note in $defines"

# A setting that held a listed macro would be taken for one of the
# compiler's defines by the next run over the same personality.
while IFS= read -r name; do
  ! grep -F -- "$name" "$settings" || fail "$name occurs in a settings line"
done < "$defines"

# Boost chooses its compiler configuration by compiler macros, which must be
# taken away inside Boost, and its platform configuration by platform macros,
# which name the target and must stay. A macro in both names a compiler.
defined_names() { grep -E '^#[[:space:]]*(if|elif)' "$1" | grep -oE 'defined[[:space:](]*[A-Za-z_][A-Za-z0-9_]*' |
  grep -oE '[A-Za-z_][A-Za-z0-9_]*$' | grep -v -e '^defined$' -e '^BOOST_' | sort -u; }
if [ -f "$boost/config/detail/select_compiler_config.hpp" ]; then
  defined_names "$boost/config/detail/select_compiler_config.hpp" > "$TMPDIR_DATA/compilers"
  defined_names "$boost/config/detail/select_platform_config.hpp" > "$TMPDIR_DATA/platforms"
  grep -v '^# ' "$defines" | sort > "$TMPDIR_DATA/listed"
  # __MVS__ names z/OS, the target of one of IBM's compilers.
  missing=$(comm -23 "$TMPDIR_DATA/compilers" "$TMPDIR_DATA/platforms" | grep -vx '__MVS__' | comm -23 - "$TMPDIR_DATA/listed")
  [ -z "$missing" ] || fail "compiler macros Boost selects by, not listed: $missing"
  platform=$(comm -23 "$TMPDIR_DATA/platforms" "$TMPDIR_DATA/compilers" | comm -12 - "$TMPDIR_DATA/listed")
  [ -z "$platform" ] || fail "platform macros listed: $platform"
fi

# Exclusion entries must name real files or directories of Boost: a misspelt
# one matches nothing and nothing reports it. An entry for a library this
# Boost does not have (its first component missing) is for another version.
! grep -n $'\r' "$nonboost" || fail "CR in $nonboost"
if [ -f "$boost/version.hpp" ]; then
  entries=0 newer=0
  while IFS= read -r line; do
    case $line in
      *-dir*)  kind=-d value=${line#*-dir} ;;
      *-file*) kind=-f value=${line#*-file} ;;
      *) continue ;;
    esac
    value=${value#"${value%%[! ]*}"} value=${value%"${value##*[! ]}"}
    if [ ! -e "$boost/${value%%/*}" ]; then newer=$((newer + 1)); continue; fi
    [ "$kind" "$boost/$value" ] || fail "'$line' names nothing in $boost"
    entries=$((entries + 1))
  done < "$nonboost"
  [ "$entries" -gt 0 ] || fail "no entries in $nonboost"
  echo "$entries exclusion entries found in $boost, $newer for libraries it does not have"
fi
echo "data files well-formed: $(grep -vc "^# " "$defines") possible defines, $(wc -l < "$settings") settings"
