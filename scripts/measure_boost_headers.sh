#!/usr/bin/env bash
# How many of Boost's top-level headers (boost/*.hpp) an analyser reads, one
# header a program, for each Boost version, language level, front end and
# personality:
#   (a) plainly, (b) with the personality's macros alone, (c) through the
#   substitute tree with the whole personality as Skeld edits it;
# and, for each header that reads in (a) but not in (c), its first error.
#
#   scripts/measure_boost_headers.sh            # the full table
#   HEADERS="any thread" COMBOS="mingw:msvc-current" VERSIONS=1.92 LEVELS=20 \
#     scripts/measure_boost_headers.sh          # a part of it
#
# Settings: VERSIONS (1.74 1.81 1.83 1.90 1.92), LEVELS (17 20: -std=c++17,
# -std=c++20), COMBOS (front end:personality), HEADERS (names without .hpp;
# all when empty), BOOST_1_74 (/usr/include/boost), JOBS (parallel compiles,
# 2), BUILD_DIR (build), DATA_DIR (where Skeld and its data files are,
# BUILD_DIR/bin), WORK (where everything is kept, BUILD_DIR/measure),
# BOOST_CACHE (where the fetched Boosts and their apt lists are kept, WORK),
# MACROS_ALONE=0 leaves out (b), FETCH_ONLY=1 fetches the versions and ends.
#
# Front ends stand in for the analyser: MinGW-w64's g++ with its own Windows
# and compiler macros undefined, so that only the personality's stand inside
# Boost; g++ and clang++ on Linux for personalities of compilers that target
# Unix. Each personality names the front end's system include directories
# with -si, as a real one names its compiler's, and an MSVC personality's
# _MSVC_LANG follows the level. Boost 1.74 is the system's
# (/usr/include/boost); 1.81, 1.83, 1.90 and 1.92 are Debian's libboostX-dev
# of bookworm, trixie and sid (the last two), fetched with apt-get download
# through a list of its own (BOOST_CACHE/apt: the system's apt configuration
# is not touched; the mirror is the system's own) and unpacked with dpkg -x
# into BOOST_CACHE.
#
# Every compile is kept in WORK: (a) per version, level and front end, (b)
# per personality as well, (c) also per state of Skeld and the data files, so
# a rerun after a data change only redoes (c). Ends with status 1 when a
# target does not hold (a loss that excused() below does not excuse, or a
# stub for a name the front end has no header of), 0 otherwise.
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
BUILD_DIR=${BUILD_DIR:-$top/build}
WORK=${WORK:-$BUILD_DIR/measure}
JOBS=${JOBS:-2}
VERSIONS=${VERSIONS:-"1.74 1.81 1.83 1.90 1.92"}
LEVELS=${LEVELS:-"17 20"}
COMBOS=${COMBOS:-"mingw:msvc-current mingw:msvc-sample gxx:sun gxx:xlc gxx:intel gxx:edg clang:sun clang:xlc clang:intel clang:edg"}
HEADERS=${HEADERS:-}
# The stand-ins: MINGW_FRONT_END, stand_in_search_dirs, personality_over,
# personality_flags.
source "$(dirname "$self")/stand_in.sh"
BOOST_1_74=${BOOST_1_74:-/usr/include/boost}
personalities=$top/tests/integration/personalities
DATA_DIR=${DATA_DIR:-$BUILD_DIR/bin}
skeld=$DATA_DIR/Skeld
MACROS_ALONE=${MACROS_ALONE:-1}
BOOST_CACHE=${BOOST_CACHE:-$WORK}

die() { echo "measure: $*" >&2; exit 2; }
hash_of() { cat "$@" | md5sum | cut -c1-10; }

front_end() { # NAME LEVEL: the compiler and its options, one a line
  case $1 in
    mingw) printf '%s\n' "${MINGW_FRONT_END[@]}" -std=c++$2 -fsyntax-only ;;
    gxx)   printf '%s\n' g++ -std=c++$2 -fsyntax-only ;;
    clang) printf '%s\n' clang++ -std=c++$2 -fsyntax-only ;;
    *) die "unknown front end $1" ;;
  esac
}

personality_source() { # NAME: the personality file
  case $1 in
    msvc-sample) echo "$top/examples/msvc.p_c" ;;
    *) echo "$personalities/$1.p_c" ;;
  esac
}

# The Debian suite that ships each fetched Boost.
suite_of() {
  case $1 in
    1.81) echo bookworm ;;
    1.83) echo trixie ;;
    1.90) echo sid ;;
    1.92) echo sid ;;
    *) die "unknown Boost version $1" ;;
  esac
}

# debian_mirror: "URI KEYRING" of the system's own entry for its release's
# main suite (deb822 .sources or one-line .list), so that no host name is
# written here; KEYRING may be empty.
debian_mirror() {
  local codename f
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || die "no VERSION_CODENAME in /etc/os-release"
  {
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v suite="$codename" '
        function flush() { if (uri != "" && has) { print uri, key; found = 1; exit } uri = ""; key = ""; has = 0 }
        /^[[:space:]]*$/ { flush(); next }
        /^URIs:/ { uri = $2 }
        /^Signed-By:/ { key = $2 }
        /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) has = 1 }
        END { if (!found) flush() }' "$f"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v suite="$codename" '
        $1 == "deb" {
          key = ""; i = 2
          if ($2 ~ /^\[/) { for (; i <= NF; i++) { if ($i ~ /signed-by=/) { key = $i; sub(/.*signed-by=/, "", key); sub(/\]$/, "", key) } if ($i ~ /\]$/) { i++; break } } }
          if ($(i + 1) == suite) { print $i, key; exit }
        }' "$f"
    done
  } | sed -n 1p
}

# fetch_boost VERSION DIR: Debian's libboostVERSION-dev unpacked into DIR/root,
# downloaded through apt-get with a source list, lists and cache of its own.
# The lists are fetched once and kept; when the version they name can no
# longer be found or downloaded (the suite has moved on), they are fetched
# again, once, before the fetch gives up.
fetch_boost() {
  local v=$1 dir=$2 apt=$BOOST_CACHE/apt mirror uri key options fresh=0
  mirror=$(debian_mirror)
  [ -n "$mirror" ] || die "no Debian entry in /etc/apt to take the mirror from"
  read -r uri key <<< "$mirror"
  options=${key:+[signed-by=$key] }
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  for suite in bookworm trixie sid; do printf 'deb %s%s %s main\n' "$options" "$uri" "$suite"; done > "$apt/sources.list"
  apt_private=(-o Dir::Etc::sourcelist="$apt/sources.list" -o Dir::Etc::sourceparts=/dev/null
               -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache")
  [ -f "$apt/updated" ] || { update_private_lists "$apt"; fresh=1; }
  until download_boost "$v" "$dir"; do
    [ "$fresh" = 0 ] || die "libboost$v-dev could not be fetched from $(suite_of "$v") at $uri"
    echo "measure: libboost$v-dev not found or not downloaded with the kept lists: fetching them again" >&2
    update_private_lists "$apt"
    fresh=1
  done
  dpkg -x "$dir"/deb/libboost"$v"-dev_*.deb "$dir/root"
}

update_private_lists() { # APT_DIR
  rm -f "$1/updated"
  apt-get "${apt_private[@]}" update >&2 || die "apt-get update of $1/sources.list failed"
  touch "$1/updated"
}

# download_boost VERSION DIR: the suite's own version of libboostVERSION-dev
# into an empty DIR/deb (the candidate among the three suites may be
# another); fails when the lists do not name it or the download fails.
download_boost() {
  local v=$1 dir=$2 version
  version=$(apt-cache "${apt_private[@]}" madison "libboost$v-dev" |
            awk -v s="$(suite_of "$v")" -F' *[|] *' '$3 ~ "(^| )"s"/main" { print $2; exit }')
  [ -n "$version" ] || return 1
  rm -rf "$dir/deb" && mkdir -p "$dir/deb"
  (cd "$dir/deb" && apt-get "${apt_private[@]}" download "libboost$v-dev=$version" >&2)
}

# boost_parent VERSION: a directory whose only entry is that Boost's tree,
# so that its parent can go on any front end's include path.
boost_parent() {
  local v=$1 dir=$BOOST_CACHE/boost-$1
  case $v in
    1.74)
      mkdir -p "$dir/include"
      ln -sfn "$BOOST_1_74" "$dir/include/boost"
      grep -q 'BOOST_LIB_VERSION "1_74"' "$dir/include/boost/version.hpp" ||
        die "$BOOST_1_74 is not Boost 1.74 (apt-get install libboost1.74-dev)"
      echo "$dir/include" ;;
    *)
      [ -f "$dir/root/usr/include/boost/version.hpp" ] || fetch_boost "$v" "$dir"
      grep -q "BOOST_LIB_VERSION \"${v/./_}\"" "$dir/root/usr/include/boost/version.hpp" ||
        die "$dir/root/usr/include/boost is not Boost $v"
      echo "$dir/root/usr/include" ;;
  esac
}

# compile_all DIR FLAGS_FILE HEADER...: each header not yet compiled in DIR.
# Only whether a header reads and its first error count, so each compile
# stops at its first error.
compile_all() {
  local dir=$1 flags_file=$2 h
  shift 2
  mkdir -p "$dir"
  { cat "$flags_file"; echo -Wfatal-errors; } > "$dir/flags.new"
  # Results kept under other flags (another compiler behind a front end's
  # name, another Boost directory) are not this compile's.
  cmp -s "$dir/flags.new" "$dir/flags" || rm -f "$dir"/*.rc
  mv "$dir/flags.new" "$dir/flags"
  for h in "$@"; do [ -f "$dir/$h.rc" ] || printf '%s %s %s\n' "$dir" "$h" "$dir/flags"; done |
    nice xargs -r -P "$JOBS" -L 1 bash "$self" --one
}

# system_dirs FRONT_END: its own system include directories, in its order.
system_dirs() {
  local flags
  mapfile -t flags < <(front_end "$1" 17)
  stand_in_search_dirs "${flags[@]:0:${#flags[@]}-2}"
}

# run_skeld_once TREE PERSONALITY PARENT: Skeld over PARENT/boost into
# TREE/out with a copy of PERSONALITY, once per state of Skeld and the data.
run_skeld_once() {
  local tree=$1
  [ -f "$tree/done" ] && return
  rm -rf "$tree" && mkdir -p "$tree/out"
  cp "$2" "$tree/personality.p_c"
  (cd "$DATA_DIR" && "$skeld" "$tree/personality.p_c" "$3/boost" "$tree/out") > "$tree/skeld.log" 2>&1 ||
    { cat "$tree/skeld.log"; die "Skeld failed on $2 over $3/boost"; }
  (cd "$tree/out/system" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) > "$tree/stubs"
  touch "$tree/done"
}

# stubs_without_header TREE PARENT DIR...: the stubs of TREE for which no
# file of that name is in PARENT or a DIR (the front end's search).
stubs_without_header() {
  local tree=$1 n d found
  shift
  while IFS= read -r n; do
    found=0
    for d in "$@"; do [ -f "$d/$n" ] && { found=1; break; }; done
    [ $found = 1 ] || echo "$n"
  done < "$tree/stubs"
}

reads() { [ "$(cat "$1/$2.rc")" = 0 ]; }

# probed_names PARENT: the names Boost asks __has_include(<name>) about.
probed_names() {
  grep -rhoE '__has_include *\( *<[^>]+>' "$1/boost/" | sed -E 's/.*<([^>]+)>/\1/' | LC_ALL=C sort -u
}

# first_error LOG PARENT OUT: the first error line and the source line the
# compiler quotes under it, paths shortened.
first_error() {
  { awk '/(error|Error):/ && !e { e = 1; printf "%s", $0; next }
         e && /^ *[0-9]+ \| / { sub(/^ *[0-9]+ \| */, ""); printf "  [%s]", $0; exit }
         END { if (!e) printf "(no error line)" }' "$1"; echo; } |
    sed -e "s|$3/system/|<stubs>/|g" -e "s|$3/|<tree>/|g" -e "s|$2/||g" -e 's|^/usr/[^ ]*/include/||'
}

# A loss the targets excuse: an MSVC built-in no stand-in parses, or g++'s
# own fold expression bug (GCC PR 86355), which Mp11 steps around only for a
# compiler that calls itself g++: a personality that claims __GNUC__ takes
# that name away inside Boost, and an analyser does not share g++'s bugs.
excused() { # FRONT_END PERSONALITY ERROR_LINE
  case $2 in
    msvc-*) [[ $3 =~ __uuidof|__try|__except|__assume ]] ;;
    *) [ "$1" = gxx ] && [[ $3 =~ ^boost/mp11/.*invalid\ use\ of\ pack\ expansion ]] ;;
  esac
}

[ -x "$skeld" ] || die "no $skeld: cmake --build $BUILD_DIR --target Skeld skeld_data"
for combo in $COMBOS; do
  cxx=$(front_end "${combo%%:*}" 17 | sed -n 1p)
  command -v "$cxx" > /dev/null || die "$cxx not found (bash scripts/install-deps.sh)"
done
mkdir -p "$WORK" "$BOOST_CACHE"
if [ "${FETCH_ONLY:-0}" = 1 ]; then
  for v in $VERSIONS; do boost_parent "$v" > /dev/null; done
  exit 0
fi
report=$(mktemp -d "$WORK/report.XXXXXX")
table=$report/table.md
losses=$report/losses.md
stubs_report=$report/stubs.md
: > "$losses"
: > "$stubs_report"
{
  echo "| Boost | C++ | front end | personality | headers | (a) plainly | (b) macros alone | (c) through the tree |"
  echo "|---|---|---|---|--:|--:|--:|--:|"
} > "$table"
targets_hold=1
data_key=$(hash_of "$skeld" "$DATA_DIR"/*.txt "$DATA_DIR"/*.hpp "$DATA_DIR"/borland/*)
declare -A stubs_told

for v in $VERSIONS; do
  parent=$(boost_parent "$v")
  probed_names "$parent" > "$report/probed-$v"
  if [ -n "$HEADERS" ]; then
    names=($HEADERS)
  else
    names=($(cd "$parent/boost" && ls -- *.hpp | sed 's/\.hpp$//'))
  fi
  for level in $LEVELS; do
  for combo in $COMBOS; do
    fe=${combo%%:*} p=${combo#*:}
    src=$(personality_source "$p")
    [ -f "$src" ] || die "no personality $src"
    base=$WORK/$v/c++$level/$fe
    mkdir -p "$base"

    # (a) plainly: the front end and Boost's parent directory.
    { front_end "$fe" "$level"; echo "-I$parent"; } > "$base/plain.flags"
    compile_all "$base/plain" "$base/plain.flags" "${names[@]}"

    # The personality as a user would have it: its -si lines name Boost's
    # parent, so that Skeld edits it, and the front end's system
    # directories; _MSVC_LANG says the level, as /std:c++20 has it.
    mapfile -t sysdirs < <(system_dirs "$fe")
    pdir=$WORK/$v/c++$level/personality/$fe-$p
    mkdir -p "$pdir"
    personality_over "$src" "$parent" "$pdir/original.p_c" "${sysdirs[@]}"
    case $level in 17) msvc_lang=201703L ;; 20) msvc_lang=202002L ;; *) die "unknown level $level" ;; esac
    sed -i -E "s/^([[:space:]]*-sd[[:space:]]+_MSVC_LANG=).*/\1$msvc_lang/" "$pdir/original.p_c"
    pkey=$(hash_of "$pdir/original.p_c")

    # (b) the personality's macros alone.
    personality_flags "$pdir/original.p_c"
    { front_end "$fe" "$level"; echo "-I$parent"; printf '%s\n' "${DEFINES[@]}"; } > "$base/macros-$p.flags"
    [ "$MACROS_ALONE" = 0 ] || compile_all "$base/macros-$p-$pkey" "$base/macros-$p.flags" "${names[@]}"

    # (c) through the tree: Skeld once per version, personality and data.
    tree=$WORK/$v/tree-$pkey-$data_key
    run_skeld_once "$tree" "$pdir/original.p_c" "$parent"
    personality_flags "$tree/personality.p_c"
    { front_end "$fe" "$level"; printf '%s\n' "${INCLUDES[@]}" "${DEFINES[@]}"; } > "$base/tree-$p.flags"
    cdir=$base/tree-$p-$pkey-$data_key
    compile_all "$cdir" "$base/tree-$p.flags" "${names[@]}"

    # Every stub stands for a header the front end has; the names left
    # without one are those a personality without system directories gets a
    # stub for (told once per version, front end and personality).
    lying=$(stubs_without_header "$tree" "$parent" "${sysdirs[@]}" | tr '\n' ' ')
    if [ -n "$lying" ]; then
      targets_hold=0
      echo "- Boost $v, $fe, $p: stubs without a real header: $lying" >> "$stubs_report"
    elif [ -z "${stubs_told[$v $fe $p]:-}" ]; then
      stubs_told[$v $fe $p]=1
      personality_over "$src" "$parent" "$pdir/no-system-dirs.p_c"
      every=$WORK/$v/every-stub-$(hash_of "$pdir/no-system-dirs.p_c")-$data_key
      run_skeld_once "$every" "$pdir/no-system-dirs.p_c" "$parent"
      left=$(LC_ALL=C comm -23 "$every/stubs" "$tree/stubs")
      echo "- Boost $v, $fe, $p: $(wc -l < "$tree/stubs") stubs, $(printf '%s' "$left" | grep -c .) of $(wc -l < "$every/stubs") names without one" >> "$stubs_report"
      echo "- Boost $v, $fe, $p: $(echo $left)" >> "$report/unstubbed.md"
      echo "- Boost $v, $fe, $p: $(LC_ALL=C comm -12 <(printf '%s\n' "$left") "$report/probed-$v" | tr '\n' ' ')" >> "$report/probed.md"
    fi

    na=0 nb=0 nc=0
    for h in "${names[@]}"; do
      reads "$base/plain" "$h" && na=$((na + 1))
      [ "$MACROS_ALONE" = 0 ] || ! reads "$base/macros-$p-$pkey" "$h" || nb=$((nb + 1))
      reads "$cdir" "$h" && nc=$((nc + 1))
      if reads "$base/plain" "$h" && ! reads "$cdir" "$h"; then
        err=$(first_error "$cdir/$h.log" "$parent" "$tree/out")
        mark=""
        if excused "$fe" "$p" "$err"; then mark=" (excused)"; else targets_hold=0; fi
        echo "- Boost $v, C++$level, $fe, $p: \`boost/$h.hpp\`$mark: \`$err\`" >> "$losses"
      fi
    done
    [ "$MACROS_ALONE" = 1 ] || nb=-
    echo "| $v | $level | $fe | $p | ${#names[@]} | $na | $nb | $nc |" >> "$table"
    echo "measured Boost $v, C++$level, $fe, $p: (a) $na (b) $nb (c) $nc of ${#names[@]}" >&2
  done
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
echo
echo "Stubs (the names without one are in $report/unstubbed.md):"
cat "$stubs_report"
echo "Of the names without a stub, those Boost probes with __has_include:"
cat "$report/probed.md" 2>/dev/null || true
if [ "$targets_hold" = 1 ]; then
  echo "TARGETS HOLD"
else
  echo "TARGETS DO NOT HOLD"
  exit 1
fi
