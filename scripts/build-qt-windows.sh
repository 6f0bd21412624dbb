#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (MinGW-w64) once, as far as the panel needs it:
# qtbase from Debian 12's own source package, Qt SerialPort from the tarball kept
# beside the clone, each checked against the checksums below. The result lands in
# a cache outside the clone, keyed by Qt's version and a hash of everything that
# shapes it, and later runs reuse it.
#
#   scripts/build-qt-windows.sh                 build unless cached; prints the prefix last
#   scripts/build-qt-windows.sh --print-prefix  only print where that Qt is (or will be)
#
# PROGRAMADOR_QT_CACHE overrides the cache folder (default /var/cache/programador);
# PROGRAMADOR_THIRD_PARTY where the Qt SerialPort tarball is (default ../shared/third_party).
# The install is marked complete only at the very end, so an interrupted build is redone.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

qt_version=6.4.2
qtbase_deb_version=6.4.2+dfsg-10
# From Debian's signed Sources index for bookworm.
qtbase_files=(
    "1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970  qt6-base_6.4.2+dfsg-10.dsc"
    "4f14b89a9463a540fd84a6718b8519a2297119b454ef547721015a9e9019ae9e  qt6-base_6.4.2+dfsg.orig.tar.xz"
    "d1a2621b1acb1606db7274ccdb96654564cea04af836c5b86da94e150714d16c  qt6-base_6.4.2+dfsg-10.debian.tar.xz"
)
serialport_tarball=qtserialport-everywhere-src-6.4.2.tar.xz
serialport_sha256=682626d3ae07074df0f707dab880f1eab1c133a04d5bed688a3ec63af305ae89

toolchain=$repo/cmake/mingw-w64-x86_64.cmake
# Only what the panel uses. Two settings are forced by this source: Debian's repacked
# tree lacks src/3rdparty/wintab, which the Windows plugin's tablet support needs;
# and 6.4.2's Windows plugin does not compile without OpenGL, so OpenGL stays on.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_tabletevent=OFF
)

cache=${PROGRAMADOR_QT_CACHE:-/var/cache/programador}
third_party=${PROGRAMADOR_THIRD_PARTY:-$repo/../shared/third_party}
key=$( { printf '%s\n' "$qt_version" "$qtbase_deb_version" "$serialport_sha256" "${qt_options[@]}"
         cat "$toolchain"; } | sha256sum | cut -c1-12)
prefix=$cache/qt-$qt_version-mingw-$key

if [ "${1:-}" = --print-prefix ]; then
    echo "$prefix"
    exit 0
fi

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
verify() { # folder, then "sha256  name" lines
    (cd "$1" && shift && printf '%s\n' "$@" | sha256sum --check --strict --quiet)
}

mkdir -p "$cache"
# One build at a time per key; a second caller waits and then finds it cached.
exec 9>"$prefix.lock"
flock 9

if [ -f "$prefix/.complete" ]; then
    echo "Qt $qt_version for Windows: cached"
    echo "$prefix"
    exit 0
fi

started=$(date +%s)
work=$cache/work-qt-$qt_version-mingw-$key
downloads=$cache/downloads
rm -rf "$prefix" "$work"
mkdir -p "$work" "$downloads"

# qtbase: Debian's source package, fetched through a deb-src line if the machine has none.
if ! verify "$downloads" "${qtbase_files[@]}" >/dev/null 2>&1; then
    if ! apt-cache showsrc qt6-base 2>/dev/null | grep -qx "Version: $qtbase_deb_version"; then
        as_root tee /etc/apt/sources.list.d/programador-deb-src.sources >/dev/null <<'EOF'
# Source packages, for building Qt for Windows from Debian's own Qt source
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
        as_root apt-get update
    fi
    (cd "$downloads" && apt-get source --download-only "qt6-base=$qtbase_deb_version")
    verify "$downloads" "${qtbase_files[@]}"
fi
dpkg-source -x "$downloads/qt6-base_$qtbase_deb_version.dsc" "$work/qtbase"

verify "$third_party" "$serialport_sha256  $serialport_tarball"
tar -C "$work" -xf "$third_party/$serialport_tarball"
serialport_src=$(find "$work" -maxdepth 1 -type d -name 'qtserialport*' | head -n1)

# Qt's own toolchain file keeps a path to this one: give it a home inside the cache.
mkdir -p "$prefix"
cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"

jobs=${PROGRAMADOR_JOBS:-2}
cmake -S "$work/qtbase" -B "$work/build-qtbase" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    "${qt_options[@]}"
cmake --build "$work/build-qtbase" -j"$jobs"
cmake --install "$work/build-qtbase"

cmake -S "$serialport_src" -B "$work/build-qtserialport" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release
cmake --build "$work/build-qtserialport" -j"$jobs"
cmake --install "$work/build-qtserialport"

# Qt's licence texts travel with the panel's packages.
mkdir -p "$prefix/licenses/qtbase" "$prefix/licenses/qtserialport"
cp -r "$work/qtbase"/LICENSES "$work/qtbase"/LICENSE.* "$work/qtbase/debian/copyright" \
    "$prefix/licenses/qtbase/" 2>/dev/null || true
cp -r "$serialport_src"/LICENSES "$serialport_src"/LICENSE.* "$prefix/licenses/qtserialport/" 2>/dev/null || true

# Where this Qt's source came from, for the licence notes shipped with the panel.
{
    echo "Qt $qt_version for Windows, built by scripts/build-qt-windows.sh with MinGW-w64."
    echo "qtbase: Debian 12 source package qt6-base $qtbase_deb_version (https://sources.debian.org/src/qt6-base/$qtbase_deb_version/)"
    echo "qtserialport: $serialport_tarball, sha256 $serialport_sha256, Qt's repository qt/qtserialport tag v$qt_version"
    echo "options: ${qt_options[*]}"
} >"$prefix/SOURCES.txt"

rm -rf "$work"
touch "$prefix/.complete"
echo "Qt $qt_version for Windows built in $(( $(date +%s) - started )) s"
echo "$prefix"
