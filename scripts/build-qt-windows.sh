#!/usr/bin/env bash
# Qt 6 for 64-bit Windows, cross-built with MinGW-w64 from Debian's own
# qt6-base source (the version of the host's Qt tools), with only what velk
# and its tests need. It is built once into a cache outside the clone, keyed
# by everything that decides the built files (see key below), and reused by
# every later build.
# Prints the install prefix on its last line.
#
#   scripts/build-qt-windows.sh          # build when the cache lacks it
#
# Settings: HEADWRIGHT_QT_CACHE (${XDG_CACHE_HOME:-$HOME/.cache}/headwright;
# with neither set, the script stops and asks for HEADWRIGHT_QT_CACHE),
# JOBS (2). The first build takes about 35 minutes on two cores.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-2}
say() { echo "build-qt-windows: $*" >&2; }

if [ -n "${HEADWRIGHT_QT_CACHE:-}" ]; then
  cache=$HEADWRIGHT_QT_CACHE
elif [ -n "${XDG_CACHE_HOME:-}" ]; then
  cache=$XDG_CACHE_HOME/headwright
elif [ -n "${HOME:-}" ]; then
  cache=$HOME/.cache/headwright
else
  say "neither HOME nor XDG_CACHE_HOME is set: name the cache folder with HEADWRIGHT_QT_CACHE"
  exit 1
fi
toolchain=$top/cmake/mingw-w64-x86_64.cmake
changes=$top/packaging/windows/qt6-base.patch

version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) ||
  { say "qt6-base-dev is not installed: the host Qt decides the version to build"; exit 1; }
upstream=${version%%+*}
upstream=${upstream%%-*}

# Everything velk does not use is off: the modules (network, sql, xml, dbus,
# printsupport, concurrent, opengl), the image formats beyond the PNG it
# embeds, the system libraries (Qt's bundled zlib, libpng, pcre2, harfbuzz,
# freetype and double-conversion are built instead). Debian's tarball has no
# src/3rdparty/wintab, which tablet events need; velk takes no tablet input.
# Qt 6.4.2 builds its DirectWrite font database only with direct2d, yet the
# Windows plugin links it wherever directwrite3 is on: both go, and velk draws
# with the GDI font database, Qt 6.4's default on Windows anyway.
options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF
  -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DFEATURE_sessionmanager=OFF
)
# The key: everything that decides the built files. Debian's source version,
# the options, our change to the source, the toolchain file, and the cross
# compilers, runtime and binutils that build and link it.
key=$( { echo "$version"; printf '%s\n' "${options[@]}"; cat "$changes" "$toolchain"
         x86_64-w64-mingw32-g++-posix --version | sed -n 1p
         x86_64-w64-mingw32-gcc-posix --version | sed -n 1p
         dpkg-query -W -f='${Package} ${Version}\n' g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix-runtime \
           mingw-w64-x86-64-dev binutils-mingw-w64-x86-64; } |
       sha256sum | cut -c1-10)
prefix=$cache/qt-$upstream-mingw-w64-$key

mkdir -p "$cache"
# One build at a time; a second caller waits and then reuses it.
exec 9>"$cache/qt-$key.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

say "building Qt $upstream for Windows into $prefix (once; about 35 minutes on two cores)"
rm -rf "$prefix"
# A build that failed or was stopped keeps its folder and goes on from there.
work=$cache/qt-$key.work
mkdir -p "$work"

# Debian's source, through a private apt list made from the system's own
# Debian entries (those signed with Debian's archive keyring) with deb-src:
# third-party entries are left out, and nothing of the system's apt
# configuration changes.
debian_archive=debian-archive-keyring
fetch_source() {
  apt_dir=$work/apt
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  : > "$apt_dir/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # One-line entries: signed-by Debian's keyring, or with no signed-by at
    # all (apt then trusts its own keyrings, Debian's in a Debian system) and
    # a Debian archive path.
    awk -v keyring="$debian_archive" '
      $1 == "deb" {
        signed = ""; i = 2
        if ($2 ~ /^\[/) { for (; i <= NF; i++) { if ($i ~ /signed-by=/) signed = $i; if ($i ~ /\]$/) { i++; break } } }
        if (signed != "" ? index(signed, keyring) : ($i ~ /\/debian(-security)?\/?$/)) { $1 = "deb-src"; print }
      }' "$f" >> "$apt_dir/sources.list"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # deb822 stanzas: those signed by Debian's keyring, as deb-src.
    awk -v keyring="$debian_archive" '
      function flush() { if (n && keep) { for (j = 1; j <= n; j++) print lines[j]; print "" } n = 0; keep = 0 }
      /^[[:space:]]*$/ { flush(); next }
      /^Types:/ { $0 = "Types: deb-src" }
      /^Signed-By:/ && index($0, keyring) { keep = 1 }
      { lines[++n] = $0 }
      END { flush() }' "$f" > "$apt_dir/parts/$(basename "$f")"
  done
  apt_options=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list"
               -o "Dir::Etc::sourceparts=$apt_dir/parts"
               -o "Dir::State::Lists=$apt_dir/lists"
               -o "Dir::Cache=$apt_dir/cache")
  say "fetching Debian's qt6-base $version source"
  apt-get -q "${apt_options[@]}" update >&2
  (cd "$work" && apt-get -q "${apt_options[@]}" source --download-only "qt6-base=$version" >&2)
  dpkg-source --no-check -x "$work"/qt6-base_*.dsc "$work/src" >&2
}

# Our change to Debian's source, kept as a patch that ships with the Windows
# packages: Qt 6.4.2 does not compile the Windows platform plugin with opengl
# off, since QWindowsWindow::isSoftwareGl() uses QOpenGLStaticContext under
# QT_CONFIG(dynamicgl) alone.
patch_source() {
  patch -d "$work/src" -p1 --forward --quiet < "$changes" >&2 ||
    { say "$changes does not apply to Debian's qt6-base $version"; exit 1; }
}
if [ ! -f "$work/src.ready" ]; then
  rm -rf "$work"/src "$work"/apt "$work"/qt6-base_*
  fetch_source
  patch_source
  touch "$work/src.ready"
fi

say "configuring"
cmake -G Ninja -S "$work/src" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${options[@]}" > "$work/configure.log" 2>&1 ||
  { tail -n 40 "$work/configure.log" >&2; say "configure failed: $work/configure.log"; exit 1; }

# Progress: one line every 25 steps of ninja's own count.
say "building with $jobs jobs"
set +e
NINJA_STATUS='[%f/%t] ' cmake --build "$work/build" -j"$jobs" 2>&1 |
  tee "$work/build.log" |
  awk -F'[][/]' '/^\[[0-9]+\/[0-9]+\]/ { if ($2 % 25 == 0 || $2 == $3) { printf "build-qt-windows: step %s of %s\n", $2, $3; fflush() } }' >&2
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ]; then
  grep -m 20 -B2 -A8 'error' "$work/build.log" >&2 || tail -n 40 "$work/build.log" >&2
  say "the build failed: $work/build.log"
  exit 1
fi
cmake --install "$work/build" > "$work/install.log" 2>&1 ||
  { tail -n 20 "$work/install.log" >&2; say "install failed: $work/install.log"; exit 1; }
echo "$version" > "$prefix/.complete"
rm -rf "$work"
say "done: $prefix"
echo "$prefix"
