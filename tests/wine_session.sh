#!/bin/sh
# Keeps one Wine process alive while the Windows tests run. Without one, each
# test pays for the start of Wine's session (about two seconds); with it, a
# start of Skeld.exe takes a fraction of a second. Its output goes nowhere, so
# Wine's services never hold a test's pipe open.
#   wine_session.sh start|stop PIDFILE
set -eu
pidfile=$2
export WINEDEBUG=-all
case $1 in
start)
    setsid sh -c 'sleep 86400 | wine cmd' </dev/null >/dev/null 2>&1 &
    echo $! >"$pidfile"
    # Ready once a Wine program has run through it.
    wine cmd /c exit >/dev/null 2>&1 || true
    ;;
stop)
    [ -f "$pidfile" ] && kill -- -"$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
    ;;
esac
