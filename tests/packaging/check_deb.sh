#!/usr/bin/env bash
# Builds the Debian package from the current build with CPack and checks what
# a user gets: exactly the expected files with sane owners and modes, Depends
# naming the Qt 6 runtime at versions this system satisfies, a valid desktop
# entry whose icon is in the package, manual pages that render without
# warnings and cover every option the program offers, and a packaged program
# that runs.
# Usage: check_deb.sh CPACK BUILD_DIR WORK_DIR VERSION WITH_EMULATOR(0|1)
set -euo pipefail

cpack=$1 build=$2 work=$3 version=$4 with_emulator=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }

rm -rf "$work"
mkdir -p "$work"
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack -G DEB failed"; }

arch=$(dpkg --print-architecture)
deb="$work/programador_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work"/*.deb 2>/dev/null)"
ok "built $(basename "$deb")"

# --- control fields ---------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = programador ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
for f in Maintainer Section Description; do
    [ -n "$(field "$f")" ] || fail "no $f field"
done
ok "control: $(field Package) $(field Version) $(field Architecture), section $(field Section)"

depends=$(field Depends)
echo "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6serialport6 libqt6core6; do
    grep -Eq "(^|, )$lib \(>= 6\.[0-9.]+\)" <<<"$depends" \
        || fail "Depends lacks '$lib (>= 6.x)'"
done
# Every dependency must be a real package that this system (which runs the
# program) satisfies: catches a wrong name or a version from nowhere.
IFS=',' read -ra entries <<<"$depends"
for entry in "${entries[@]}"; do
    entry=${entry# }
    entry=${entry%%|*}   # the first of any alternatives
    name=${entry%% *}
    installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) \
        || fail "dependency $name is not an installed package here"
    if [[ $entry =~ \(([<>=]+)\ ([^\)]+)\) ]]; then
        op=${BASH_REMATCH[1]} want=${BASH_REMATCH[2]}
        case $op in '>=') op=ge ;; '<=') op=le ;; '=') op=eq ;; '>>') op=gt ;; '<<') op=lt ;; esac
        dpkg --compare-versions "$installed" "$op" "$want" \
            || fail "installed $name $installed does not satisfy '$entry'"
    fi
done
ok "Depends names the Qt 6 runtime and is satisfied here"

# --- file list ----------------------------------------------------------------
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ { print $NF }' <<<"$listing" | sort)
desktop=$(grep -E '^\./usr/share/applications/[^/]+\.desktop$' <<<"$files" || true)
[ "$(wc -l <<<"$desktop")" -eq 1 ] && [ -n "$desktop" ] || fail "want one desktop entry, got: $desktop"
app_id=$(basename "$desktop" .desktop)
[[ $app_id =~ ^[A-Za-z][A-Za-z0-9_-]*(\.[A-Za-z][A-Za-z0-9_-]*)+$ ]] \
    || fail "desktop file name '$app_id' is not a reverse-DNS id"

expected="./usr/bin/programador
./usr/share/applications/$app_id.desktop
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/man/man1/programador.1.gz"
if [ "$with_emulator" = 1 ]; then
    expected+="
./usr/bin/board-emulator
./usr/share/man/man1/board-emulator.1.gz"
fi
expected=$(sort <<<"$expected")
if [ "$files" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$files") >&2 || true
    fail "the package's files differ from the expected list (- expected, + packaged)"
fi
# Owned by root; programs 0755, everything else 0644, folders 0755.
while read -r mode owner _ _ _ path; do
    [ "$owner" = root/root ] || fail "$path is owned by $owner"
    case $path in
        */) want=drwxr-xr-x ;;
        ./usr/bin/*) want=-rwxr-xr-x ;;
        *) want=-rw-r--r-- ;;
    esac
    [ "$mode" = "$want" ] || fail "$path has mode $mode, want $want"
done <<<"$listing"
ok "files: $(tr '\n' ' ' <<<"$files")"

# --- contents -------------------------------------------------------------------
root="$work/root"
dpkg-deb -x "$deb" "$root"

entry="$root/usr/share/applications/$app_id.desktop"
if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate says: $out"
    ok "desktop-file-validate: no complaints"
else
    echo "note: desktop-file-validate not installed, entry not validated"
fi
value() { sed -n "s/^$1=//p" "$entry"; }
[ "$(value Name)" = Programador ] || fail "Name=$(value Name)"
[ "$(value Exec)" = programador ] || fail "Exec=$(value Exec)"
[ "$(value Icon)" = "$app_id" ] || fail "Icon=$(value Icon), want $app_id"
[ "$(value Terminal)" = false ] || fail "Terminal=$(value Terminal)"
[ "$(value Categories)" = "Utility;Electronics;" ] || fail "Categories=$(value Categories)"
[ -n "$(value Comment)" ] || fail "no Comment"
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "the icon is not SVG"
ok "desktop entry fields and icon"

exe="$root/usr/bin/programador"
if command -v file >/dev/null; then
    for prog in "$root"/usr/bin/*; do
        file -b "$prog" | grep -q ', stripped' || fail "$(basename "$prog") is not stripped"
    done
fi
[ "$("$exe" --version)" = "programador $version" ] || fail "--version says '$("$exe" --version)'"
help=$("$exe" --help)
if [ "$with_emulator" = 1 ]; then
    grep -q -- --demo <<<"$help" || fail "--help lacks --demo"
fi
ok "the packaged program runs: $("$exe" --version)"

# Renders without a warning, and names every option --help lists.
render() {
    if command -v man >/dev/null; then
        LC_ALL=C.UTF-8 MANWIDTH=80 MANPAGER=cat PAGER=cat man --warnings=w -E UTF-8 -l "$1"
    else
        gzip -dc "$1" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww
    fi
}
check_page() {
    local page=$1 text
    text=$(render "$page" 2>"$work/man.err") || fail "$(basename "$page") does not render"
    [ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; fail "$(basename "$page") renders with warnings"; }
    printf '%s\n' "$text"
}
man_dir="$root/usr/share/man/man1"
page=$(check_page "$man_dir/programador.1.gz")
for option in $(grep -oE -- '--[a-z][a-z0-9-]+' <<<"$help" | sort -u); do
    grep -q -- "$option" <<<"$page" || fail "the manual page does not mention $option"
done
for needle in 'Programar en tiempo rreal' 2400 8N1 dialout /dev/ttyS0 /dev/ttyS1 \
              I1 I4 I5 I6 I8 '"I2P  1 "' '"I3P  0 "' '"I7P  1 "' RX Ejecutar 'EXIT STATUS'; do
    [ "$needle" = 8N1 ] && needle='8 data bits, no parity, 1 stop bit'
    grep -qF -- "$needle" <<<"$page" || fail "the manual page does not mention '$needle'"
done
ok "programador(1) renders without warnings and covers every option"
if [ "$with_emulator" = 1 ]; then
    page=$(check_page "$man_dir/board-emulator.1.gz")
    for option in $("$root/usr/bin/board-emulator" --help | grep -oE -- '--(delay|silent)' | sort -u); do
        grep -q -- "$option" <<<"$page" || fail "board-emulator(1) does not mention $option"
    done
    ok "board-emulator(1) renders without warnings"
fi

echo "PASS: $(basename "$deb")"
