#!/usr/bin/env bash
# Takes the README's screenshots of velk the way a user sees it: a real X
# window (Xvfb and openbox) in the system's fonts, at scale factor 1 and 2 on
# a 1024x768 screen, page 2 after a real Skeld run over /usr/include/boost
# with a copy of examples/msvc.p_c, page 1 after it. The Boost is named by a
# path of about 100 characters, as a user's often is, so that the line under
# the output field, which names it, is seen whole. Started from a scratch
# folder, so Skeld is found on PATH and its data files beside it.
# Given the Windows build (build-win), velk.exe under Wine instead, page 1
# and 2 once. Needs the Debian packages xvfb, openbox and libboost-dev.
#   scripts/screenshots.sh [build dir] [docs dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
docs=$(cd "${2:-$root/docs}" && pwd)
cmake --build "$build" --target velk_grab_pages Skeld skeld_data

scratch=$(mktemp -d)
display=:$((200 + $$ % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null || true; rm -rf "$scratch"' EXIT
wm=$xvfb
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
# A window mapped before the window manager runs gets no frame.
for _ in $(seq 50); do
  DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.2
done
boost=$scratch/Users/someone/Documents/Projects/Analyser/third-party/libraries/boost_1_74_0/boost
mkdir -p "$(dirname "$boost")"
ln -s /usr/include/boost "$boost"

# velk.exe under Wine, in Wine's own fonts (Debian's fonts-wine), when the
# build is the Windows one: the grabber sits beside velk.exe and Skeld.exe.
if [ -f "$build/bin/velk.exe" ]; then
  export WINEDEBUG=-all WINEPREFIX=$scratch/wine
  sh "$root/scripts/wine-prefix.sh" "$WINEPREFIX"
  dll_dirs=$(sed -n 's/^HEADWRIGHT_WINEPATH:INTERNAL=//p' "$build/CMakeCache.txt")
  mkdir "$scratch/out"
  cp "$root/examples/msvc.p_c" "$scratch/msvc.p_c"
  # In a Wine desktop of its own, which draws the window frames as Windows
  # does and lets a program read the screen.
  (cd "$scratch" && DISPLAY=$display WINEPATH="$dll_dirs" \
     wine explorer /desktop=velk,1024x768 "$build/bin/velk_grab_pages.exe" \
     "$(winepath -w "$docs/velk-windows-page0.png")" "$(winepath -w "$docs/velk-windows-page1.png")" \
     "$(winepath -w "$boost")" "$(winepath -w "$scratch/out")" "$(winepath -w "$scratch/msvc.p_c")" \
     "$(winepath -w "$docs/velk-windows-progress.png")")
  wineserver -k
  echo "windows: $docs/velk-windows-page0.png $docs/velk-windows-page1.png $docs/velk-windows-progress.png"
  exit 0
fi

for scale in 1 2; do
  suffix=$([ "$scale" = 1 ] && echo "" || echo "-scale$scale")
  mkdir "$scratch/out$scale"
  cp "$root/examples/msvc.p_c" "$scratch/msvc$scale.p_c"
  (cd "$scratch" && DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale \
     PATH="$build/bin:$PATH" "$build/bin/velk_grab_pages" \
     "$docs/velk-page0$suffix.png" "$docs/velk-page1$suffix.png" \
     "$boost" "$scratch/out$scale" "$scratch/msvc$scale.p_c" \
     $([ "$scale" = 1 ] && echo "$docs/velk-page1-progress.png"))
  echo "scale $scale: $docs/velk-page0$suffix.png $docs/velk-page1$suffix.png"
done
