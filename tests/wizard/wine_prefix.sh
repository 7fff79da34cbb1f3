#!/bin/sh
# A Wine prefix of the wizard suites' own (scripts/wine-prefix.sh), kept
# between runs, and one Wine session in it while they run (wine_session.sh).
# Wine hands no QT_ variable to a Windows program, so the prefix's own
# environment names Qt's offscreen platform and the fonts it draws with.
#   wine_prefix.sh start|stop PREFIX PIDFILE
set -eu
export WINEPREFIX=$2 WINEDEBUG=-all
here=$(dirname "$0")
if [ "$1" = start ]; then
    sh "$here/../../scripts/wine-prefix.sh" "$WINEPREFIX"
    wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
    wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "$(winepath -w /usr/share/wine/fonts)" /f >/dev/null 2>&1
fi
exec sh "$here/../wine_session.sh" "$1" "$3"
