#!/usr/bin/env bash
# Start-up time under Wine of the installed programador.exe beside a bare Qt
# window built the same way: from the start of the process to its window on
# the X server, the first start of a fresh Wine prefix and then warm starts.
#
#   bash bench/windows_startup.sh [BUILD_DIR] [STARTS]   (default build-windows, 7)
#
# Needs the zip made by the Windows build (ctest -R windows_packages there).
set -euo pipefail
if [ "${1:-}" != --inner ]; then
    exec xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --inner "$@"
fi
shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-windows}")
starts=${2:-7}
version=$(sed -n 's/^CPACK_PACKAGE_VERSION:.*=//p; s/^CMAKE_PROJECT_VERSION:.*=//p' "$build/CMakeCache.txt" | head -n 1)
zip=$build/programador-$version-win64.zip
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -f "$zip" ] || { echo "no $zip: make it first" >&2; exit 1; }

cmake --build "$build" --target bare_window >&2
work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
bin=$work/programador-$version-win64/bin
cp "$build/bare_window.exe" "$bin/"
"$wine64" wineboot --init 2>/dev/null
wineserver -w

# Milliseconds from the start to a visible window with that title.
time_start() {
    local exe=$1 title=$2 t0 pid ms
    t0=$(date +%s%N)
    "$wine64" "$bin/$exe" >/dev/null 2>&1 &
    pid=$!
    # Polled every 10 ms: xdotool's own --sync looks only every half second.
    until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
        sleep 0.01
        [ $(( $(date +%s%N) - t0 )) -lt 60000000000 ] || break
    done
    ms=$(( ($(date +%s%N) - t0) / 1000000 ))
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    wineserver -w
    echo "$ms"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# The first start after wineboot: Wine loads what no start has loaded yet.
first_panel=$(time_start programador.exe '^Programar en tiempo rreal$')
first_bare=$(time_start bare_window.exe '^bare window$')
panel=() bare=()
for _ in $(seq "$starts"); do
    panel+=("$(time_start programador.exe '^Programar en tiempo rreal$')")
    bare+=("$(time_start bare_window.exe '^bare window$')")
done
echo "Start-up to a visible window under Wine ($(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)):"
echo "  programador.exe: first $first_panel ms; then median $(printf '%s\n' "${panel[@]}" | median) ms of $starts (${panel[*]})"
echo "  bare window:     first $first_bare ms; then median $(printf '%s\n' "${bare[@]}" | median) ms of $starts (${bare[*]})"
