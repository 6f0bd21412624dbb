#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, builds, then either starts the
# panel on its built-in emulated boards ("demo") or runs every test ("test"),
# twice: in build/ and in a sanitizer build, build-asan/. Either failing stops it.
# "windows" builds the panel for Windows instead, with its installer, and tests
# it under Wine (below).
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-}
case "$what" in
    demo|test|windows) ;;
    *) echo "usage: $0 demo|test|windows" >&2; exit 2 ;;
esac

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Installs the packages of these sections of scripts/debian-packages.txt that
# are missing: the demo needs what builds and runs the panel; the tests need
# the rest too; Windows needs the cross tools and Wine.
install_missing() {
    local wanted missing=() p
    mapfile -t wanted < <(awk -v sections=" $* " '
        /^[ \t]*\[/ { name = $0; gsub(/[][ \t]/, "", name); on = index(sections, " " name " ") > 0; next }
        /^[ \t]*(#|$)/ { next }
        on { print $1 }' scripts/debian-packages.txt | sort -u)
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        as_root apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

jobs=$(nproc 2>/dev/null || echo 2)

# Windows: Qt for Windows built once (scripts/build-qt-windows.sh, cached outside
# the clone), the panel cross-built into build-windows/, then ctest there: it
# makes the installer and the zip and runs the Windows tests under Wine, against
# the board-emulator of a Linux build in build/.
if [ "$what" = windows ]; then
    install_missing demo windows
    PROGRAMADOR_JOBS=$jobs bash scripts/build-qt-windows.sh
    qt=$(bash scripts/build-qt-windows.sh --print-prefix)

    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$jobs" --target board-emulator

    cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_PREFIX_PATH="$qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DPROGRAMADOR_BOARD_EMULATOR="$PWD/build/emulator/board-emulator"
    cmake --build build-windows -j"$jobs"
    exec ctest --test-dir build-windows --output-on-failure
fi

if [ "$what" = test ]; then install_missing demo test; else install_missing demo; fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"

if [ "$what" = demo ]; then
    exec build/app/programador --demo
fi
ctest --test-dir build --output-on-failure

# The whole suite again with AddressSanitizer and UBSan. Qt is not built with
# them: only leaks inside such libraries are suppressed, and the file says why.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPROGRAMADOR_SANITIZE=ON
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0
ctest --test-dir build-asan --output-on-failure
