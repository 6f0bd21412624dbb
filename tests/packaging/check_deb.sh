#!/usr/bin/env bash
# Builds the Debian package from the current build with CPack and checks what
# a user gets: no lintian errors or warnings, exactly the expected files with
# sane owners and modes, Depends naming the Qt 6 runtime at versions this
# system satisfies, a valid desktop entry and AppStream file whose icons are
# in the package, a changelog at the package's version, manual pages in
# English and Spanish that lint clean and cover every option the program
# offers, and a packaged program that runs and shows its icon under X11.
# Usage: check_deb.sh CPACK BUILD_DIR WORK_DIR VERSION WITH_EMULATOR(0|1) HARDENED(0|1)
set -euo pipefail

cpack=$1 build=$2 work=$3 version=$4 with_emulator=$5 hardened=${6:-0}
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

need() { command -v "$1" >/dev/null || fail "$1 is not installed (scripts/debian-packages.txt lists $2)"; }
need lintian lintian
need mandoc mandoc
need appstreamcli appstream

# Errors and warnings fail; the info tags are shown for a reader to weigh.
if ! lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1; then
    cat "$work/lintian.log" >&2
    fail "lintian reports errors or warnings"
fi
grep -v 'running with root privileges' "$work/lintian.log" || true
ok "lintian: no errors or warnings"
# No fortify tag here: a program whose buffer sizes are all known when it is
# compiled has no checked calls to show, hardened or not.
if [ "$hardened" = 1 ] && grep -E 'hardening-no-(bindnow|relro|pie)' "$work/lintian.log"; then
    fail "a release build without Debian's hardening flags"
fi

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
# Qt's Spanish texts are loaded at run time, so no library pulls them in.
[ "$(field Recommends)" = qt6-translations-l10n ] || fail "Recommends is '$(field Recommends)'"

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
./usr/share/metainfo/$app_id.metainfo.xml
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/doc/programador/copyright
./usr/share/doc/programador/changelog.gz
./usr/share/man/man1/programador.1.gz
./usr/share/man/es/man1/programador.1.gz"
icon_sizes="16 24 32 48 64 128 256"
for n in $icon_sizes; do
    expected+="
./usr/share/icons/hicolor/${n}x$n/apps/$app_id.png"
done
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
[ "$(value Exec)" = "programador %f" ] || fail "Exec=$(value Exec)"
[ "$(value Icon)" = "$app_id" ] || fail "Icon=$(value Icon), want $app_id"
[ "$(value Terminal)" = false ] || fail "Terminal=$(value Terminal)"
[ "$(value Categories)" = "Utility;Electronics;" ] || fail "Categories=$(value Categories)"
[ -n "$(value Comment)" ] || fail "no Comment"
[ -n "$(value 'Name\[es\]')" ] && [ -n "$(value 'Comment\[es\]')" ] \
    || fail "no Spanish Name[es] and Comment[es]"
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "the icon is not SVG"
for n in $icon_sizes; do
    png="$root/usr/share/icons/hicolor/${n}x$n/apps/$app_id.png"
    file -b "$png" | grep -q "^PNG image data, $n x $n," || fail "$png is not a $n x $n PNG"
done
ok "desktop entry fields and icons"

metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
# validate-tree also finds the desktop file that the launchable names.
out=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "appstreamcli validate-tree: $out"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
    || fail "the AppStream file does not name $app_id.desktop as its launchable"
grep -qF "<release version=\"$version\"" "$metainfo" || fail "the AppStream file has no release $version"
ok "AppStream metadata valid, launches $app_id.desktop, release $version"

doc="$root/usr/share/doc/programador"
head -n 1 "$doc/copyright" | grep -q '^Format: .*copyright-format/1.0/$' \
    || fail "the copyright file is not machine-readable"
top=$(gzip -dc "$doc/changelog.gz" | head -n 1)
[[ $top == "programador ($version) "* ]] || fail "the changelog starts with '$top', not version $version"
ok "copyright and changelog at $version"

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

# Under X11 the window manager ties the window to the menu entry by its class
# and shows the icon the window carries: every size from the icon theme, once
# installed, and the largest one, built in, where the theme has none.
if [ "$with_emulator" = 1 ] && command -v xvfb-run >/dev/null && command -v xdotool >/dev/null \
        && command -v xprop >/dev/null; then
    [ -f /usr/share/icons/hicolor/index.theme ] \
        || fail "hicolor-icon-theme is not installed (scripts/debian-packages.txt lists it)"
    # Prints WM_CLASS, then _NET_WM_ICON as numbers: per image width, height, pixels.
    window_props() {
        xvfb-run -a bash -c '
            "$1" --demo 2>/dev/null & pid=$!
            win=$(timeout 20 xdotool search --sync --name "^Programar en tiempo rreal\$" | head -n 1)
            xprop -id "$win" WM_CLASS
            xprop -id "$win" -len 1000000 -notype -f _NET_WM_ICON 32c "=\$0+\n" _NET_WM_ICON
            kill "$pid"' _ "$exe" 2>&1 || true
    }
    icon_sizes_in() {
        sed -n 's/^_NET_WM_ICON=//p' "$1" | tr -d ' ' | tr ',' '\n' | awk '
            BEGIN { next_at = 1 }
            NR == next_at { w = $1 }
            NR == next_at + 1 { printf "%d ", w; next_at += 2 + w * $1 }'
    }
    XDG_DATA_DIRS="$root/usr/share:/usr/share" window_props >"$work/x11-themed.txt"
    XDG_DATA_DIRS="$work/none" XDG_DATA_HOME="$work/none" window_props >"$work/x11-bare.txt"

    class=$(sed -n 's/^WM_CLASS.* = "[^"]*", "\([^"]*\)"$/\1/p' "$work/x11-themed.txt")
    [ -n "$class" ] || { cat "$work/x11-themed.txt" >&2; fail "no WM_CLASS from the running window"; }
    [ "$(value StartupWMClass)" = "$class" ] \
        || fail "StartupWMClass=$(value StartupWMClass), but the window's class is $class"
    sizes=$(icon_sizes_in "$work/x11-themed.txt")
    for n in $icon_sizes; do
        [[ " $sizes" == *" $n "* ]] || fail "the window icon from the theme lacks $n x $n (it has: $sizes)"
    done
    bare=$(icon_sizes_in "$work/x11-bare.txt")
    [ "$bare" = "256 " ] || fail "without the icon theme the window icon is '$bare', not the built-in 256"
    ok "under X11: class $class as in StartupWMClass; icon sizes $sizes(themed), $bare(built in)"
else
    echo "note: xvfb-run, xdotool or xprop missing: window class and icon not checked"
fi

# Renders without a warning, lints clean, and names every option --help lists.
render() {   # PAGE [WIDTH]
    if command -v man >/dev/null; then
        LC_ALL=C.UTF-8 MANWIDTH=${2:-80} MANPAGER=cat PAGER=cat man --warnings=w -E UTF-8 -l "$1"
    else
        gzip -dc "$1" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -rLL=${2:-80}n
    fi
}
check_page() {   # prints the text with one line per paragraph, for grep
    local page=$1
    render "$page" >/dev/null 2>"$work/man.err" || fail "$page does not render"
    [ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; fail "$page renders with warnings"; }
    mandoc -T lint "$page" >"$work/man.err" 2>&1 || true
    [ ! -s "$work/man.err" ] || { cat "$work/man.err" >&2; fail "mandoc -T lint complains about $page"; }
    render "$page" 2000 2>/dev/null
}
man_dir="$root/usr/share/man/man1"
for lang in en es; do
    case $lang in
        en) path=$man_dir/programador.1.gz exit_status='EXIT STATUS'
            line='8 data bits, no parity, 1 stop bit' ;;
        es) path=$root/usr/share/man/es/man1/programador.1.gz exit_status='ESTADO DE SALIDA'
            line='8 bits de datos, sin paridad, 1 bit de parada' ;;
    esac
    page=$(check_page "$path")
    for option in $(grep -oE -- '--[a-z][a-z0-9-]+' <<<"$help" | sort -u); do
        grep -q -- "$option" <<<"$page" || fail "the $lang manual page does not mention $option"
    done
    for needle in 'Programar en tiempo rreal' 2400 dialout /dev/ttyS0 /dev/serial/by-id/ \
                  I1 I4 I5 I6 I8 '"I2P  1 "' '"I3P  0 "' '"I7P  1 "' RX Ejecutar Estado \
                  --list-ports --trace 'QT_LOGGING_RULES="programador.line=true"' \
                  LC_MESSAGES -platform xvfb-run "$exit_status" "$line"; do
        grep -qF -- "$needle" <<<"$page" || fail "the $lang manual page does not mention '$needle'"
    done
done
ok "programador(1), English and Spanish, lint clean and cover every option"
if [ "$with_emulator" = 1 ]; then
    page=$(check_page "$man_dir/board-emulator.1.gz")
    for option in $("$root/usr/bin/board-emulator" --help | grep -oE -- '--(delay|silent)' | sort -u); do
        grep -q -- "$option" <<<"$page" || fail "board-emulator(1) does not mention $option"
    done
    ok "board-emulator(1) renders without warnings"
fi

echo "PASS: $(basename "$deb")"
