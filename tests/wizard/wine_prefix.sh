#!/bin/sh
# A Wine prefix of the wizard suites' own, kept between runs, and one Wine
# session in it while they run (wine_session.sh). Wine hands no QT_ variable
# to a Windows program, so the prefix's own environment names Qt's offscreen
# platform and the fonts it draws with: Wine's (Debian's fonts-wine).
#   wine_prefix.sh start|stop PREFIX PIDFILE
set -eu
export WINEPREFIX=$2 WINEDEBUG=-all
here=$(dirname "$0")
case $1 in
start)
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
    wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d "$(winepath -w /usr/share/wine/fonts)" /f >/dev/null 2>&1
    # A program that crashes ends as on Windows: no debugger writes its report
    # into the program's output.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f >/dev/null 2>&1
    ;;
esac
exec sh "$here/../wine_session.sh" "$1" "$3"
