#!/usr/bin/env bash
# Qt 6 for 64-bit Windows, cross-built with MinGW-w64 from Debian's own
# qt6-base source (the version of the host's Qt tools), with only what velk
# and its tests need. It is built once into a cache outside the clone, keyed
# by the Qt version and the options below, and reused by every later build.
# Prints the install prefix on its last line.
#
#   scripts/build-qt-windows.sh          # build when the cache lacks it
#
# Settings: HEADWRIGHT_QT_CACHE (${XDG_CACHE_HOME:-~/.cache}/headwright),
# JOBS (2). The first build takes about 35 minutes on two cores.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-2}
cache=${HEADWRIGHT_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/headwright}
toolchain=$top/cmake/mingw-w64-x86_64.cmake

say() { echo "build-qt-windows: $*" >&2; }

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
# The one change of our own to Debian's source; see patch_source below.
patch_id=opengl-guard-1
# The key: what decides the built files, the compiler's version included.
key=$( { echo "$version"; printf '%s\n' "${options[@]}"; echo "$patch_id";
         x86_64-w64-mingw32-g++-posix --version | sed -n 1p; } |
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
# sources with deb-src: nothing of the system's apt configuration changes.
fetch_source() {
  apt_dir=$work/apt
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  : > "$apt_dir/sources.list"
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >> "$apt_dir/sources.list"
  fi
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/parts/$(basename "$f")"
  done
  for f in /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list"
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

# Qt 6.4.2 does not compile the Windows platform plugin with opengl off:
# QWindowsWindow::isSoftwareGl() uses QOpenGLStaticContext under
# QT_CONFIG(dynamicgl) alone. The guard it lacks is added here.
patch_source() {
  local f=$work/src/src/plugins/platforms/windows/qwindowswindow.cpp
  grep -q '^#if QT_CONFIG(dynamicgl)$' "$f" ||
    { say "$f: the expected '#if QT_CONFIG(dynamicgl)' is not there"; exit 1; }
  sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$f"
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
