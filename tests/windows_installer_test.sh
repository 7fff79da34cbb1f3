#!/usr/bin/env bash
# The Windows installer as an administrator deploys it, under Wine in a fresh
# prefix: an older release, then this one over it, a rebuild of this one, the
# same file again, a refused downgrade; every program, library and the MSI
# signed by the certificate authority the packages were signed for; the
# folder on the system PATH once, whatever the upgrades, and Skeld found
# there by name; the installed documentation's links; velk.exe from Program
# Files seen in its own window on the X display (its picture kept as a test
# artefact); Skeld.exe from there over a Boost tree; the uninstall, PATH
# given back; an install into a folder of the administrator's choice with
# ADDTOPATH=0, kept by an upgrade, and its uninstall; a truncated file; the
# ZIP holding what the installer installs.
# The packages are signed with the certificate HEADWRIGHT_SIGNING_CERT names
# and checked against the authority in HEADWRIGHT_SIGNING_CA; without the
# latter, the test makes a throwaway pair of its own.
#   tests/windows_installer_test.sh BUILD_WIN_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
artefacts=$build/test-artefacts
scratch=$(mktemp -d)
display=:$((300 + $$ % 100))
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "windows installer: $*" >&2; exit 1; }

if [ -z "${HEADWRIGHT_SIGNING_CA:-}" ]; then
  eval "export $(bash "$(dirname "$0")/../scripts/throwaway-signing.sh" "$scratch/signing" | tr '\n' ' ')"
  unset HEADWRIGHT_TIMESTAMP_URL
fi

# This version's package; an older one, of the same files and one more that
# the newer ones no longer have; a rebuild of this one, with a product code
# of its own.
(cd "$build" && cpack -G "ZIP;External" >/dev/null)
msi=$(ls "$build"/headwright-*-windows-x86_64.msi)
zip=${msi%.msi}.zip
version=$(basename "$msi" | sed 's/^headwright-\(.*\)-windows-x86_64\.msi$/\1/')
mkdir -p "$scratch/retired"
echo "a file of the older release only" > "$scratch/retired/retired.txt"
(cd "$build" && cpack -G External -B "$scratch/older" -D CPACK_PACKAGE_VERSION=1.0.0 \
   -D CPACK_HEADWRIGHT_MSI_NAME=older.msi "-D CPACK_INSTALLED_DIRECTORIES=$scratch/retired;." >/dev/null)
(cd "$build" && cpack -G External -B "$scratch/rebuild" -D CPACK_HEADWRIGHT_MSI_NAME=rebuild.msi >/dev/null)
older=$scratch/older/older.msi rebuild=$scratch/rebuild/rebuild.msi

sh "$(dirname "$0")/../scripts/wine-prefix.sh" "$WINEPREFIX"
home="$WINEPREFIX/drive_c/Program Files/Headwright"
# The entry is for all users; Wine's installer puts it in the user's own
# Start menu all the same.
menus=("$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Headwright"
       "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Headwright")
win() { winepath -w "$1"; }
# The system PATH's entries, one a line (Wine leaves an empty one behind
# when it takes one off: those are left out).
path_entries() {
  wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH | tr -d '\r' |
    sed -n 's/^ *PATH *REG_[A-Z_]* *//p' | tr ';' '\n' | grep .
}
on_path() {  # FOLDER: how many PATH entries name it
  local folder
  folder=$(win "$1")
  path_entries | sed 's/\\$//' | grep -ciFx -- "${folder%\\}" || true
}
path_before=$(path_entries)
# Runs msiexec silently; its status is Windows Installer's code, of which
# Wine hands on the low byte.
msiexec() { local status=0; wine msiexec "$@" /qn >&2 || status=$?; echo "$status"; }
low_byte() { echo $(($1 % 256)); }
# The installs registered, one line each: product code and version.
installs() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ { key = $0; sub(/.*\\/, "", key) }
         $1 == "DisplayName" && $3 == "Headwright" { name[key] = 1 }
         $1 == "DisplayVersion" { v[key] = $3 }
         END { for (k in name) print k, v[k] }'
}
one_install() {  # VERSION STEP: prints the product code
  local list
  list=$(installs)
  [ "$(printf '%s\n' "$list" | grep -c .)" = 1 ] || fail "$2: not exactly one install registered: $list"
  [ "${list#* }" = "$1" ] || fail "$2: version ${list#* } registered, not $1"
  echo "${list%% *}"
}

# Older, then this version over it: one install, this version's files, none
# of the older's left.
[ "$(msiexec /i "$(win "$older")")" = 0 ] || fail "the older release did not install"
one_install 1.0.0 "older release" >/dev/null
[ -f "$home/retired.txt" ] || fail "the older release lacks its own file"
[ "$(on_path "$home")" = 1 ] || fail "the older release's folder is on PATH $(on_path "$home") times"
[ "$(msiexec /i "$(win "$msi")")" = 0 ] || fail "$version did not install over the older release"
first=$(one_install "$version" "upgrade")
[ ! -e "$home/retired.txt" ] || fail "the upgrade left the older release's file"
[ "$(on_path "$home")" = 1 ] || fail "after the upgrade the folder is on PATH $(on_path "$home") times"
# A new process in another folder finds Skeld by name. Started by Wine's
# loader, which searches PATH as CreateProcess does: Wine's cmd stops its
# search at the empty entry Wine's uninstall of the older release left.
mkdir -p "$scratch/elsewhere"
found_by_name() {
  local said
  said=$(cd "$scratch/elsewhere" && wine Skeld --version 2>/dev/null | tr -d '\r') || return 1
  [ "$said" = "Skeld (Headwright) $version" ]
}
found_by_name || fail "Skeld is not found on PATH from another folder"

# Every program and library as installed and as the ZIP holds them, and the
# MSI, carry a SHA-256 Authenticode signature of the authority's certificate.
mkdir -p "$scratch/unzipped"
(cd "$scratch/unzipped" && cmake -E tar xf "$zip")
signed=0
while IFS= read -r -d '' file; do
  osslsigncode verify -CAfile "$HEADWRIGHT_SIGNING_CA" -in "$file" > "$scratch/verify.log" 2>&1 &&
    grep -q '^Message digest algorithm *: SHA256$' "$scratch/verify.log" ||
    { cat "$scratch/verify.log"; fail "not signed for the authority: $file"; }
  signed=$((signed + 1))
done < <(find "$home" "$scratch/unzipped" "$msi" -type f \( -iname '*.exe' -o -iname '*.dll' -o -iname '*.msi' \) -print0)
[ "$signed" -gt 20 ] || fail "only $signed signed files found"
bash "$(dirname "$0")/doc_links_test.sh" "$home" README.md ARCHITECTURE.md docs/packages.md docs/build-step.md >&2 ||
  fail "the installed documentation has links that lead nowhere"
for f in Skeld.exe velk.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
         styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
         possible_defines.txt treat_as_nonboost.txt boost_compiler_person_settings.txt \
         orvo++_compiler.hpp orvo++_windows.hpp borland examples/msvc.p_c README.md LICENSE \
         licenses/README.txt licenses/qt-source.txt licenses/qt6-base.patch licenses/LGPL-3.txt licenses/GPL-3.txt \
         licenses/qt6-base-copyright.txt licenses/gcc-runtime-copyright.txt licenses/mingw-w64-copyright.txt; do
  [ -s "$home/$f" ] || [ -d "$home/$f" ] || fail "not installed: $f"
done
grep -q 'GCC RUNTIME LIBRARY EXCEPTION' "$home/licenses/gcc-runtime-copyright.txt" || fail "no runtime library exception"
grep -q 'winpthreads' "$home/licenses/mingw-w64-copyright.txt" || fail "no licence of winpthreads"
grep -q '^-si "C:\\Program Files (x86)\\Windows Kits\\' "$home/examples/msvc.p_c" ||
  fail "examples/msvc.p_c is not the Windows one"
# The ZIP holds what the installer installs.
diff <(cmake -E tar tf "$zip" | sed -n 's|^headwright-[^/]*/\(.*[^/]\)$|\1|p' | sort) \
     <(cd "$home" && find . -type f | sed 's|^\./||' | sort) || fail "the ZIP and the install differ"
entry=
for menu in "${menus[@]}"; do [ -f "$menu/velk - Boost Configuration Wizard.lnk" ] && entry=$menu; done
[ -n "$entry" ] || fail "no Start-menu entry for velk"

# A rebuild of this version replaces it; the same file again leaves it.
[ "$(msiexec /i "$(win "$rebuild")")" = 0 ] || fail "the rebuild did not install"
second=$(one_install "$version" "rebuild")
[ "$second" != "$first" ] || fail "the rebuild kept the product code: it tests no replacement"
[ "$(msiexec /i "$(win "$rebuild")")" = 0 ] || fail "the same file run again failed"
[ "$(one_install "$version" "same file again")" = "$second" ] || fail "the same file again changed the install"
[ "$(on_path "$home")" = 1 ] || fail "after the rebuild the folder is on PATH $(on_path "$home") times"

# A downgrade is refused: Windows Installer's 1603, this version stays.
[ "$(msiexec /i "$(win "$older")")" = "$(low_byte 1603)" ] || fail "the downgrade was not refused"
one_install "$version" "downgrade" >/dev/null
[ ! -e "$home/retired.txt" ] && [ -f "$home/velk.exe" ] || fail "the refused downgrade changed the files"

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1

# With the basic interface the refusal tells the user why (Wine's msgbox
# channel records the text of a message box).
(WINEDEBUG=+msgbox timeout 60 wine msiexec /i "$(win "$older")" /qb > "$scratch/downgrade.log" 2>&1 || true) &
refusal=$!
for _ in $(seq 60); do
  grep -q 'A newer version of Headwright is already installed.' "$scratch/downgrade.log" && break
  sleep 0.5
done
grep -q 'A newer version of Headwright is already installed.' "$scratch/downgrade.log" ||
  { cat "$scratch/downgrade.log"; fail "the downgrade's message was not shown"; }
wineserver -k >/dev/null 2>&1 || true
wait "$refusal" || true

# velk.exe as a user starts it: its own window, titled, on the display, and
# no other window (an error box of its own, a crash dialog).
viewable_windows() {  # id, class and title of each top-level window shown
  xwininfo -root -children | awk '/^ +0x/ { print $1 }' | while read -r id; do
    xwininfo -id "$id" -stats | grep -q 'Map State: IsViewable' || continue
    printf '%s %s %s\n' "$id" "$(xprop -id "$id" WM_CLASS | sed 's/.*= "\([^"]*\)".*/\1/')" \
      "$(xprop -id "$id" _NET_WM_NAME | sed -n 's/.*= "\(.*\)"$/\1/p')"
  done
}
(cd "$scratch" && WINEDEBUG=err+module wine "$home/velk.exe" > "$scratch/velk.log" 2>&1) &
velk=$!
shown=
for _ in $(seq 40); do
  shown=$(viewable_windows)
  [ -n "$shown" ] && break
  sleep 0.5
done
sleep 2  # the first page drawn, and time for any other window to come
shown=$(viewable_windows)
kill -0 "$velk" 2>/dev/null || { cat "$scratch/velk.log"; fail "velk.exe ended"; }
if grep -i 'not found\|could not load' "$scratch/velk.log"; then fail "velk.exe lacks a DLL"; fi
[ "$(printf '%s\n' "$shown" | grep -c .)" = 1 ] || fail "not one window shown: ${shown:-none}"
read -r window class title <<< "$shown"
[ "$class" = velk.exe ] && [ "$title" = "Headwright 1.7" ] || fail "the window shown is $class's \"$title\""
mkdir -p "$artefacts"
xwd -id "$window" -silent | xwdtopnm 2>/dev/null | pnmtopng > "$artefacts/velk-installed-page0.png"
# A page drawn has many colours; a window left blank has one.
[ "$(pngtopnm "$artefacts/velk-installed-page0.png" | ppmhist -noheader | wc -l)" -gt 20 ] ||
  fail "velk.exe's window is blank: $artefacts/velk-installed-page0.png"
wineserver -k >/dev/null 2>&1 || true
wait "$velk" 2>/dev/null || true

# Skeld.exe from the install folder, started elsewhere, over a small tree.
mkdir -p "$scratch/work/lib/boost/config/compiler" "$scratch/work/lib/boost/config/platform" "$scratch/work/out"
printf '#include <vector>\n' > "$scratch/work/lib/boost/any.hpp"
# Its one include entry names Boost's parent: the output goes on top, and
# every system header gets its stub.
printf -- '-sd _MSC_VER=1938\r\n-si "%s"\r\n' "$(win "$scratch/work/lib")" > "$scratch/work/p.p_c"
(cd "$scratch/work" && wine "$home/Skeld.exe" p.p_c "$(win "$scratch/work/lib/boost")" out) \
  > "$scratch/skeld.log" || { cat "$scratch/skeld.log"; fail "the installed Skeld.exe failed"; }
[ -f "$scratch/work/out/boost/any.hpp" ] && [ -f "$scratch/work/out/system/vector" ] ||
  { cat "$scratch/skeld.log"; fail "the installed Skeld.exe wrote no tree"; }
grep -q '^-si "out\\system"' "$scratch/work/p.p_c" || fail "the personality was not edited"

uninstalled() {  # FOLDER STEP
  [ -z "$(installs)" ] || fail "$2: still registered: $(installs)"
  [ ! -e "$1" ] || [ -z "$(ls -A "$1")" ] || { find "$1"; fail "$2 left files behind"; }
  for menu in "${menus[@]}"; do [ ! -e "$menu" ] || fail "$2 left $menu"; done
  ! wine reg query 'HKLM\Software\Headwright' >/dev/null 2>&1 || fail "$2 left its registry key"
}
[ "$(msiexec /x "$(win "$msi")")" = 0 ] || fail "msiexec /x failed"
uninstalled "$home" "the uninstall"
[ ! -e "$home" ] || fail "the uninstall left $home"
[ "$(path_entries)" = "$path_before" ] || fail "the uninstall left PATH as $(path_entries | tr '\n' ';')"

# The folder an administrator names, kept off PATH: honoured, kept by an
# upgrade, and emptied by the uninstall.
elsewhere="$WINEPREFIX/drive_c/Tools/Head wright"
[ "$(msiexec /i "$(win "$msi")" "INSTALLDIR=C:\\Tools\\Head wright" ADDTOPATH=0)" = 0 ] ||
  fail "the install into INSTALLDIR failed"
[ -f "$elsewhere/velk.exe" ] && [ -f "$elsewhere/licenses/README.txt" ] || fail "INSTALLDIR was not honoured"
[ ! -e "$home" ] || fail "the install into INSTALLDIR wrote to Program Files"
[ "$(on_path "$elsewhere")" = 0 ] && ! found_by_name || fail "ADDTOPATH=0 put the folder on PATH"
[ "$(msiexec /i "$(win "$rebuild")")" = 0 ] || fail "the rebuild did not install over the install into INSTALLDIR"
[ -f "$elsewhere/velk.exe" ] && [ ! -e "$home" ] || fail "the upgrade did not keep INSTALLDIR"
[ "$(on_path "$elsewhere")" = 0 ] || fail "the upgrade put the folder on PATH against ADDTOPATH=0"
[ "$(msiexec /x "$(win "$rebuild")")" = 0 ] || fail "msiexec /x failed after the install into INSTALLDIR"
uninstalled "$elsewhere" "the uninstall from INSTALLDIR"
[ "$(path_entries)" = "$path_before" ] || fail "the uninstall from INSTALLDIR left PATH as $(path_entries | tr '\n' ';')"

# A truncated package: msiexec's own error (Windows says 1620, Wine 1627),
# and nothing installed.
head -c $(($(stat -c %s "$msi") / 2)) "$msi" > "$scratch/truncated.msi"
status=$(msiexec /i "$(win "$scratch/truncated.msi")")
[ "$status" = "$(low_byte 1620)" ] || [ "$status" = "$(low_byte 1627)" ] ||
  fail "the truncated package ended with status $status"
uninstalled "$home" "the truncated package"

echo "$(basename "$msi"): upgrade, rebuild, same file, refused downgrade, $signed signatures, PATH," \
     "the documentation's links, velk.exe's window ($artefacts/velk-installed-page0.png), Skeld.exe," \
     "INSTALLDIR with ADDTOPATH=0, uninstalls, truncated file"
