#!/usr/bin/env bash
# How many of Boost's top-level headers (boost/*.hpp) an analyser reads, one
# header a program, for each Boost version, front end and personality:
#   (a) plainly, (b) with the personality's macros alone, (c) through the
#   substitute tree with the whole personality as Skeld edits it;
# and, for each header that reads in (a) but not in (c), its first error.
#
#   scripts/measure_boost_headers.sh            # the full table
#   HEADERS="any thread" COMBOS="mingw:msvc-current" VERSIONS=1.74 \
#     scripts/measure_boost_headers.sh          # a part of it
#
# Settings: VERSIONS, COMBOS (front end:personality), HEADERS (names without
# .hpp; all when empty), BOOST_1_74 (/usr/include/boost), JOBS (parallel
# compiles, 2), BUILD_DIR (build), DATA_DIR (where Skeld and its data files
# are, BUILD_DIR/bin), WORK (where everything is kept, BUILD_DIR/measure),
# MACROS_ALONE=0 leaves out (b), LATENT=0 leaves out the count of stubs
# without a real header, LATENT=all checks every personality's headers
# against them, not only current MSVC's.
#
# Front ends stand in for the analyser: MinGW-w64's g++ with its own Windows
# and compiler macros undefined, so that only the personality's stand inside
# Boost; g++ and clang++ on Linux for personalities of compilers that target
# Unix. Boost 1.74 is the system's (/usr/include/boost); 1.81 is Debian's
# libboost1.81-dev, fetched with apt-get download and unpacked into WORK.
#
# Every compile is kept in WORK: (a) per version and front end, (b) per
# personality as well, (c) also per state of Skeld and the data files, so a
# rerun after a data change only redoes (c). Ends with status 1 when a target
# does not hold (a loss that excused() below does not excuse), 0 otherwise.
set -euo pipefail
top=${HEADWRIGHT_TOP:-$(cd "$(dirname "$0")/.." && pwd)}
self=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")

# One compile, run by the job list below: DIR HEADER FLAGS_FILE.
if [ "${1:-}" = --one ]; then
  dir=$2 header=$3 flags_file=$4
  mapfile -t flags < "$flags_file"
  status=0
  printf '#include <boost/%s.hpp>\n' "$header" |
    timeout 600 "${flags[@]}" -x c++ - > "$dir/$header.log" 2>&1 || status=$?
  echo "$status" > "$dir/$header.rc"
  exit 0
fi
# One preprocessing, for the stub count: DIR HEADER FLAGS_FILE; keeps its
# status and a checksum of the output, macro definitions included, with the
# time of day left out.
if [ "${1:-}" = --pp ]; then
  dir=$2 header=$3 flags_file=$4
  mapfile -t flags < "$flags_file"
  status=0
  printf '#include <boost/%s.hpp>\n' "$header" |
    timeout 600 "${flags[@]}" -E -P -dD -x c++ - > "$dir/$header.i" 2>/dev/null || status=$?
  echo "$status $(sed -E 's/"[0-9]{2}:[0-9]{2}:[0-9]{2}"/"T"/g' "$dir/$header.i" | md5sum | cut -c1-32)" > "$dir/$header.pp"
  rm -f "$dir/$header.i"
  exit 0
fi

BUILD_DIR=${BUILD_DIR:-$top/build}
WORK=${WORK:-$BUILD_DIR/measure}
JOBS=${JOBS:-2}
VERSIONS=${VERSIONS:-"1.74 1.81"}
COMBOS=${COMBOS:-"mingw:msvc-current mingw:msvc-sample gxx:sun gxx:xlc gxx:intel gxx:edg clang:sun clang:xlc clang:intel clang:edg"}
HEADERS=${HEADERS:-}
# The stand-ins: MINGW_FRONT_END, personality_over, personality_flags.
source "$(dirname "$self")/stand_in.sh"
BOOST_1_74=${BOOST_1_74:-/usr/include/boost}
personalities=$top/tests/integration/personalities
DATA_DIR=${DATA_DIR:-$BUILD_DIR/bin}
skeld=$DATA_DIR/Skeld
MACROS_ALONE=${MACROS_ALONE:-1}

die() { echo "measure: $*" >&2; exit 2; }
hash_of() { cat "$@" | md5sum | cut -c1-10; }

front_end() { # NAME: the compiler and its options, one a line
  case $1 in
    mingw) printf '%s\n' "${MINGW_FRONT_END[@]}" -std=c++17 -fsyntax-only ;;
    gxx)   printf '%s\n' g++ -std=c++17 -fsyntax-only ;;
    clang) printf '%s\n' clang++ -std=c++17 -fsyntax-only ;;
    *) die "unknown front end $1" ;;
  esac
}

personality_source() { # NAME: the personality file
  case $1 in
    msvc-sample) echo "$top/examples/msvc.p_c" ;;
    *) echo "$personalities/$1.p_c" ;;
  esac
}

# boost_parent VERSION: a directory whose only entry is that Boost's tree,
# so that its parent can go on any front end's include path.
boost_parent() {
  local v=$1 dir=$WORK/boost-$1
  case $v in
    1.74)
      mkdir -p "$dir/include"
      [ -e "$dir/include/boost" ] || ln -s "$BOOST_1_74" "$dir/include/boost"
      grep -q 'BOOST_LIB_VERSION "1_74"' "$dir/include/boost/version.hpp" ||
        die "$BOOST_1_74 is not Boost 1.74 (apt-get install libboost1.74-dev)"
      echo "$dir/include" ;;
    1.81)
      if [ ! -f "$dir/root/usr/include/boost/version.hpp" ]; then
        mkdir -p "$dir/deb"
        (cd "$dir/deb" && apt-get download libboost1.81-dev >&2) ||
          die "apt-get download libboost1.81-dev failed"
        dpkg -x "$dir"/deb/libboost1.81-dev_*.deb "$dir/root"
      fi
      echo "$dir/root/usr/include" ;;
    *) die "unknown Boost version $v" ;;
  esac
}

# compile_all DIR FLAGS_FILE HEADER...: each header not yet compiled in DIR.
# Only whether a header reads and its first error count, so each compile
# stops at its first error.
compile_all() { run_all --one rc "$@"; }
run_all() {
  local mode=$1 ext=$2 dir=$3 flags_file=$4 h
  shift 4
  mkdir -p "$dir"
  { cat "$flags_file"; [ "$mode" = --pp ] || echo -Wfatal-errors; } > "$dir/flags"
  for h in "$@"; do [ -f "$dir/$h.$ext" ] || printf '%s %s %s\n' "$dir" "$h" "$dir/flags"; done |
    nice xargs -r -P "$JOBS" -L 1 bash "$self" "$mode"
}

# search_dirs FLAGS_FILE: the front end's own system include directories.
search_dirs() {
  local flags
  mapfile -t flags < "$1"
  "${flags[0]}" -x c++ -E -v - < /dev/null 2>&1 |
    sed -n '/^#include <...> search starts here:/,/^End of search list/p' | sed -n 's/^ //p'
}

# latent V FE P TREE FLAGS_FILE HEADER...: the stubs whose name the front end
# has no real header for. A __has_include probe answers true for them; the
# headers are preprocessed with and without those stubs, and a header met
# such a probe when it preprocesses only without them, or both ways with
# different output. (Failing both ways, it included a header that is missing
# either way.)
latent() {
  local v=$1 fe=$2 p=$3 tree=$4 flags_file=$5 n dirs missing=() found d
  shift 5
  mapfile -t dirs < <(search_dirs "$flags_file")
  while IFS= read -r n; do
    found=0
    for d in "${dirs[@]}"; do [ -e "$d/$n" ] && { found=1; break; }; done
    [ $found = 1 ] || missing+=("$n")
  done < <(cd "$tree/out/system" && find . -type f | sed 's|^\./||' | sort)
  local total=$(cd "$tree/out/system" && find . -type f | wc -l)
  echo "- Boost $v, $fe, $p: ${#missing[@]} of $total stubs have no real header: ${missing[*]}" >> "$latent_report"
  # Whether a probe meets one: under the MSVC personality (LATENT=all: each).
  [ "$LATENT" = all ] || [ "$p" = msvc-current ] || return 0
  local lat=$WORK/$v/$fe/latent-$p-$(basename "$tree")
  if [ ! -d "$lat/out" ]; then
    rm -rf "$lat" && mkdir -p "$lat"
    cp -a "$tree/out" "$lat/out"
    for n in "${missing[@]}"; do rm -f "$lat/out/system/$n"; done
  fi
  sed "s|$tree/out|$lat/out|g" "$flags_file" > "$lat/flags"
  run_all --pp pp "$WORK/$v/$fe/pp-$p-$(basename "$tree")" "$flags_file" "$@"
  run_all --pp pp "$lat/pp" "$lat/flags" "$@"
  local met=()
  local with without
  for h in "$@"; do
    read -r -a with < "$WORK/$v/$fe/pp-$p-$(basename "$tree")/$h.pp"
    read -r -a without < "$lat/pp/$h.pp"
    [ "${without[0]}" = 0 ] || continue
    [ "${with[0]}" = 0 ] && [ "${with[1]}" = "${without[1]}" ] || met+=("$h")
  done
  echo "  - headers whose reading changes without those stubs: ${met[*]:-none}" >> "$latent_report"
}

reads() { [ "$(cat "$1/$2.rc")" = 0 ]; }

# first_error LOG PARENT OUT: the first error line and the source line the
# compiler quotes under it, paths shortened.
first_error() {
  { awk '/(error|Error):/ && !e { e = 1; printf "%s", $0; next }
         e && /^ *[0-9]+ \| / { sub(/^ *[0-9]+ \| */, ""); printf "  [%s]", $0; exit }
         END { if (!e) printf "(no error line)" }' "$1"; echo; } |
    sed -e "s|$3/system/|<stubs>/|g" -e "s|$3/|<tree>/|g" -e "s|$2/||g" -e 's|^/usr/[^ ]*/include/||'
}

# A loss the targets excuse: an MSVC built-in no stand-in parses, a stub
# that stands for a header the front end does not have, or g++'s own fold
# expression bug (GCC PR 86355), which Mp11 steps around only for a compiler
# that calls itself g++: a personality that claims __GNUC__ takes that name
# away inside Boost, and an analyser does not share g++'s bugs.
excused() { # FRONT_END PERSONALITY ERROR_LINE
  case $2 in
    msvc-*) [[ $3 =~ __uuidof|__try|__except|__assume ]] ;;
    *) [[ $3 =~ ^\<stubs\>/.*(No such file|file not found) ]] ||
       { [ "$1" = gxx ] && [[ $3 =~ ^boost/mp11/.*invalid\ use\ of\ pack\ expansion ]]; } ;;
  esac
}

[ -x "$skeld" ] || die "no $skeld: cmake --build $BUILD_DIR --target Skeld skeld_data"
for combo in $COMBOS; do
  cxx=$(front_end "${combo%%:*}" | sed -n 1p)
  command -v "$cxx" > /dev/null || die "$cxx not found (bash scripts/install-deps.sh)"
done
mkdir -p "$WORK"
report=$(mktemp -d "$WORK/report.XXXXXX")
table=$report/table.md
losses=$report/losses.md
latent_report=$report/latent.md
LATENT=${LATENT:-1}
: > "$losses"
: > "$latent_report"
{
  echo "| Boost | front end | personality | headers | (a) plainly | (b) macros alone | (c) through the tree |"
  echo "|---|---|---|--:|--:|--:|--:|"
} > "$table"
targets_hold=1
data_key=$(hash_of "$skeld" "$DATA_DIR"/*.txt "$DATA_DIR"/*.hpp "$DATA_DIR"/borland/*)

for v in $VERSIONS; do
  parent=$(boost_parent "$v")
  if [ -n "$HEADERS" ]; then
    names=($HEADERS)
  else
    names=($(cd "$parent/boost" && ls -- *.hpp | sed 's/\.hpp$//'))
  fi
  for combo in $COMBOS; do
    fe=${combo%%:*} p=${combo#*:}
    src=$(personality_source "$p")
    [ -f "$src" ] || die "no personality $src"
    base=$WORK/$v/$fe
    mkdir -p "$base"

    # (a) plainly: the front end and Boost's parent directory.
    { front_end "$fe"; echo "-I$parent"; } > "$base/plain.flags"
    compile_all "$base/plain" "$base/plain.flags" "${names[@]}"

    # The personality as a user would have it: its own -si lines give way
    # to one naming Boost's parent, so that Skeld edits it.
    pdir=$WORK/$v/personality/$p
    mkdir -p "$pdir"
    personality_over "$src" "$parent" "$pdir/original.p_c"
    pkey=$(hash_of "$pdir/original.p_c")

    # (b) the personality's macros alone.
    personality_flags "$pdir/original.p_c"
    { front_end "$fe"; echo "-I$parent"; printf '%s\n' "${DEFINES[@]}"; } > "$base/macros-$p.flags"
    [ "$MACROS_ALONE" = 0 ] || compile_all "$base/macros-$p-$pkey" "$base/macros-$p.flags" "${names[@]}"

    # (c) through the tree: Skeld once per version, personality and data.
    tree=$WORK/$v/tree-$p-$pkey-$data_key
    if [ ! -f "$tree/done" ]; then
      rm -rf "$tree" && mkdir -p "$tree/out"
      cp "$pdir/original.p_c" "$tree/personality.p_c"
      (cd "$DATA_DIR" && "$skeld" "$tree/personality.p_c" "$parent/boost" "$tree/out") > "$tree/skeld.log" 2>&1 ||
        { cat "$tree/skeld.log"; die "Skeld failed on $p over Boost $v"; }
      touch "$tree/done"
    fi
    personality_flags "$tree/personality.p_c"
    { front_end "$fe"; printf '%s\n' "${INCLUDES[@]}" "${DEFINES[@]}"; } > "$base/tree-$p.flags"
    cdir=$base/tree-$p-$pkey-$data_key
    compile_all "$cdir" "$base/tree-$p.flags" "${names[@]}"

    na=0 nb=0 nc=0
    for h in "${names[@]}"; do
      reads "$base/plain" "$h" && na=$((na + 1))
      [ "$MACROS_ALONE" = 0 ] || ! reads "$base/macros-$p-$pkey" "$h" || nb=$((nb + 1))
      reads "$cdir" "$h" && nc=$((nc + 1))
      if reads "$base/plain" "$h" && ! reads "$cdir" "$h"; then
        err=$(first_error "$cdir/$h.log" "$parent" "$tree/out")
        mark=""
        if excused "$fe" "$p" "$err"; then mark=" (excused)"; else targets_hold=0; fi
        echo "- Boost $v, $fe, $p: \`boost/$h.hpp\`$mark: \`$err\`" >> "$losses"
      fi
    done
    [ "$MACROS_ALONE" = 1 ] || nb=-
    echo "| $v | $fe | $p | ${#names[@]} | $na | $nb | $nc |" >> "$table"
    [ "$LATENT" = 0 ] || latent "$v" "$fe" "$p" "$tree" "$base/tree-$p.flags" "${names[@]}"
    echo "measured Boost $v, $fe, $p: (a) $na (b) $nb (c) $nc of ${#names[@]}" >&2
  done
done

cat "$table"
echo
echo "(also in $report)"
if [ -s "$losses" ]; then
  echo "Read plainly, not through the tree (first error):"
  cat "$losses"
else
  echo "Every header that reads plainly reads through the tree."
fi
if [ -s "$latent_report" ]; then
  echo
  echo "Stubs without a real header on the front end:"
  cat "$latent_report"
fi
if [ "$targets_hold" = 1 ]; then
  echo "TARGETS HOLD"
else
  echo "TARGETS DO NOT HOLD"
  exit 1
fi
