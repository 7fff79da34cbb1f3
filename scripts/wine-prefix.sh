#!/bin/sh
# Makes a Wine prefix look like a clean Windows for velk.exe: Wine's own UI
# fonts in its Fonts folder (Debian's fonts-wine puts them where Debian's
# Wine does not look, and without them every text falls back to a serif
# font), and no debugger that writes a crashed program's report into its
# output. Creates the prefix when it is not there.
#   wine-prefix.sh PREFIX
set -eu
export WINEPREFIX=$1 WINEDEBUG=-all
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
wineserver -w
