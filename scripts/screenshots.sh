#!/usr/bin/env bash
# Takes the README's screenshots of velk the way a user sees it: a real X
# window (Xvfb and openbox) in the system's fonts, at scale factor 1 and 2 on
# a 1024x768 screen, page 2 after a real Skeld run over /usr/include/boost
# with a copy of examples/msvc.p_c. Started from a scratch folder, so Skeld is
# found on PATH and its data files beside it.
# Needs the Debian packages xvfb, openbox and libboost-dev.
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
sleep 1

for scale in 1 2; do
  suffix=$([ "$scale" = 1 ] && echo "" || echo "-scale$scale")
  mkdir "$scratch/out$scale"
  cp "$root/examples/msvc.p_c" "$scratch/msvc$scale.p_c"
  (cd "$scratch" && DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale \
     PATH="$build/bin:$PATH" "$build/wizard/screenshots/velk_grab_pages" \
     "$docs/velk-page0$suffix.png" "$docs/velk-page1$suffix.png" \
     /usr/include/boost "$scratch/out$scale" "$scratch/msvc$scale.p_c")
  echo "scale $scale: $docs/velk-page0$suffix.png $docs/velk-page1$suffix.png"
done
