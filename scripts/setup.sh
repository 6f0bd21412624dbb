#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, builds, then either starts the
# panel on its built-in emulated boards ("demo") or runs every test ("test"),
# twice: in build/ and in a sanitizer build, build-asan/. Either failing stops it.
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-}
case "$what" in
    demo|test) ;;
    *) echo "usage: $0 demo|test" >&2; exit 2 ;;
esac

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# The demo needs what builds and runs the panel; the tests need the rest too.
sections=" demo "
[ "$what" = test ] && sections=" demo test "
mapfile -t wanted < <(awk -v sections="$sections" '
    /^[ \t]*\[/ { name = $0; gsub(/[][ \t]/, "", name); on = index(sections, " " name " ") > 0; next }
    /^[ \t]*(#|$)/ { next }
    on { print $1 }' scripts/debian-packages.txt)
missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
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
