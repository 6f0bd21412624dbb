#!/usr/bin/env bash
# Makes the installer and the zip from this Windows build, then checks what a
# Windows user gets: every file the program loads, every DLL any of them imports
# either shipped or one Windows itself has (the Wine prefix stands for Windows),
# a GUI program with its icon and version resource, the licences.
#   check_packages.sh CPACK BUILD_DIR VERSION OBJDUMP WINE_PREFIX
set -euo pipefail
cpack=$1 build=$2 version=$3 objdump=$4 prefix=$5
name=programador-$version-win64
fail() { echo "FAIL: $*" >&2; exit 1; }

cd "$build"
rm -f "$name.exe" "$name.zip"
"$cpack" -G "NSIS;ZIP" --config CPackConfig.cmake > cpack.log 2>&1 || { cat cpack.log; fail "cpack failed"; }
for f in "$name.exe" "$name.zip"; do
    [ -f "$f" ] || fail "$f was not made"
    echo "ok: $f, $(stat -c %s "$f") bytes"
done
"$objdump" -f "$name.exe" | grep -q 'pei-x86-64' || fail "the installer is not a 64-bit program"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$name.zip" -d "$work"
root=$work/$name
for f in bin/programador.exe bin/qt.conf \
         bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6SerialPort.dll \
         bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll \
         plugins/platforms/qwindows.dll plugins/styles/qwindowsvistastyle.dll \
         translations/qtbase_es.qm translations/qtserialport_es.qm \
         LICENSE.txt licenses/qt/SOURCES.txt licenses/qt/qttranslations/copyright.txt; do
    [ -f "$root/$f" ] || fail "$f is not in the package"
done
ls "$root"/licenses/qt/qtbase/LICENSES/LGPL-3.0* >/dev/null 2>&1 || fail "Qt's LGPL text is not in the package"
echo "ok: the program, Qt's DLLs and plugins, MinGW's runtime, Qt's Spanish texts, the licences"

# Each DLL imported from any shipped program or plugin is found beside the
# program or in Windows' own folder.
system32=$prefix/drive_c/windows/system32
[ -d "$system32" ] || fail "no Wine prefix at $prefix to stand for Windows"
shipped=$(ls "$root/bin" | tr '[:upper:]' '[:lower:]')
while IFS= read -r -d '' binary; do
    while read -r dll; do
        lower=$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')
        grep -qxF "$lower" <<<"$shipped" && continue
        [ -e "$system32/$lower" ] && continue
        # API sets: names the Windows loader resolves itself.
        [[ $lower == api-ms-win-* || $lower == ext-ms-win-* ]] && continue
        fail "${binary#"$root/"} imports $dll, which is neither shipped nor part of Windows"
    done < <("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$root" \( -name '*.exe' -o -name '*.dll' \) -print0)
echo "ok: every DLL imported is shipped or part of Windows"

exe=$root/bin/programador.exe
headers=$("$objdump" -p "$exe")
texts=$(strings -el "$exe")
grep -qE '^Subsystem\s+0+2\s' <<<"$headers" || fail "programador.exe is not a GUI program"
grep -qx 'the Programador authors' <<<"$texts" || fail "no company in the version resource"
grep -qx "$version" <<<"$texts" || fail "no version $version in the version resource"
if command -v wrestool >/dev/null; then
    [ -n "$(wrestool -l --type=14 "$exe")" ] || fail "programador.exe has no icon"
fi
echo "ok: programador.exe is a GUI program with its icon and version resource"
