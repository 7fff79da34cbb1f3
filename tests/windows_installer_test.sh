#!/usr/bin/env bash
# The Windows installer as a user meets it, under Wine in a fresh prefix:
# a silent install into Program Files (a folder with a space), twice, as a
# repair or upgrade would; velk.exe starts from there in a real X window with
# no DLL missing; Skeld.exe from there, started in another folder, finds its
# data files and runs over a Boost tree; the uninstaller leaves nothing.
#   tests/windows_installer_test.sh BUILD_WIN_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
display=:$((300 + $$ % 100))
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "windows installer: $*"; exit 1; }

(cd "$build" && cpack -G External >/dev/null)
msi=$(ls "$build"/headwright-*-windows-x86_64.msi)

sh "$(dirname "$0")/../scripts/wine-prefix.sh" "$WINEPREFIX"
home="$WINEPREFIX/drive_c/Program Files/Headwright"
# The entry is for all users; Wine's installer puts it in the user's own
# Start menu all the same.
menus=("$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Headwright"
       "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Headwright")
for pass in first second; do
  wine msiexec /i "$(winepath -w "$msi")" /qn || fail "msiexec /i failed on the $pass install"
done
for f in Skeld.exe velk.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
         styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
         possible_defines.txt treat_as_nonboost.txt boost_compiler_person_settings.txt \
         orvo++_compiler.hpp orvo++_windows.hpp borland examples/msvc.p_c README.md LICENSE; do
  [ -e "$home/$f" ] || fail "not installed: $f"
done
entry=
for menu in "${menus[@]}"; do [ -f "$menu/velk - Boost Configuration Wizard.lnk" ] && entry=$menu; done
[ -n "$entry" ] || fail "no Start-menu entry for velk"
[ "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
     grep -c 'DisplayName.*Headwright')" = 1 ] || fail "not exactly one install registered"

# velk.exe on the real Windows platform: still up after five seconds, and
# Wine reports no DLL it could not load.
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
status=0
(cd "$scratch" && DISPLAY=$display WINEDEBUG=err+module timeout 5 wine "$home/velk.exe" > "$scratch/velk.log" 2>&1) ||
  status=$?
if grep -i 'not found\|could not load' "$scratch/velk.log"; then fail "velk.exe lacks a DLL"; fi
[ "$status" -eq 124 ] || { cat "$scratch/velk.log"; fail "velk.exe ended with status $status"; }
wineserver -k >/dev/null 2>&1 || true

# Skeld.exe from the install folder, started elsewhere, over a small tree.
mkdir -p "$scratch/work/lib/boost/config/compiler" "$scratch/work/lib/boost/config/platform" "$scratch/work/out"
printf '#include <vector>\n' > "$scratch/work/lib/boost/any.hpp"
# Its one include entry names Boost's parent: the output goes on top, and
# every system header gets its stub.
printf -- '-sd _MSC_VER=1938\r\n-si "%s"\r\n' "$(winepath -w "$scratch/work/lib")" > "$scratch/work/p.p_c"
(cd "$scratch/work" && wine "$home/Skeld.exe" p.p_c "$(winepath -w "$scratch/work/lib/boost")" out) \
  > "$scratch/skeld.log" || { cat "$scratch/skeld.log"; fail "the installed Skeld.exe failed"; }
[ -f "$scratch/work/out/boost/any.hpp" ] && [ -f "$scratch/work/out/system/vector" ] ||
  { cat "$scratch/skeld.log"; fail "the installed Skeld.exe wrote no tree"; }
grep -q '^-si "out\\system"' "$scratch/work/p.p_c" || fail "the personality was not edited"

wine msiexec /x "$(winepath -w "$msi")" /qn || fail "msiexec /x failed"
[ ! -e "$home" ] || { find "$home"; fail "the uninstall left files behind"; }
for menu in "${menus[@]}"; do [ ! -e "$menu" ] || fail "the uninstall left $menu"; done
! wine reg query 'HKLM\Software\Headwright' >/dev/null 2>&1 || fail "the uninstall left its registry key"
echo "$(basename "$msi"): installed twice, velk.exe started, Skeld.exe ran, uninstalled without a trace"
