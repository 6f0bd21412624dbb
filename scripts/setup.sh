#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, builds, then either starts the
# panel on its built-in emulated boards ("demo") or runs every test ("test").
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-}
case "$what" in
    demo|test) ;;
    *) echo "usage: $0 demo|test" >&2; exit 2 ;;
esac

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

mapfile -t wanted < <(grep -v -E '^\s*(#|$)' scripts/debian-packages.txt)
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
