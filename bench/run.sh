#!/usr/bin/env bash
# Builds the benchmark programs (and the panel and board emulator they run),
# runs them all and prints one table. Takes about five minutes plus the build.
#
#   bash bench/run.sh [BUILD_DIR]      (default: build-bench at the project root)
#
# Installs CuteCom, Xvfb and xdotool with apt-get when they are missing: CuteCom
# is the yardstick for start-up time and memory.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in cutecom xvfb xauth xdotool libxcb1-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${missing[*]}" >&2
    as_root apt-get update >&2
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >&2
fi

echo "Building in $build" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build "$build" --target benchmarks -j"$(nproc)" >&2

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT

# How busy the machine was meanwhile: other work on it shows in the timings.
cpu_ticks() { awk '/^cpu /{ busy = $2 + $3 + $4 + $7 + $8 + $9; print busy, busy + $5 + $6 }' /proc/stat; }
read -r busy0 total0 < <(cpu_ticks)
load0=$(cut -d' ' -f1-3 /proc/loadavg)

echo "Exchange timing (about 75 s)" >&2
"$build/bench/bench_exchange" >>"$rows"
echo "Panel: stalls and port sequences (about 60 s)" >&2
QT_QPA_PLATFORM=offscreen "$build/bench/bench_panel" >>"$rows"
echo "A whole 80-cell session, three times at each pace (about 150 s)" >&2
"$build/bench/bench_session" >>"$rows"
echo "The program window: 80 cells sent three times, a 1 MiB file opened (about 100 s)" >&2
QT_QPA_PLATFORM=offscreen "$build/bench/bench_program" >>"$rows"
echo "Line trace cost (about 5 s)" >&2
"$build/bench/bench_trace" >>"$rows"
echo "Real programs under Xvfb (about 60 s)" >&2
xvfb-run -a -s "-screen 0 1024x768x24" "$build/bench/bench_desktop" \
    --panel "$build/app/programador" --emulator "$build/emulator/board-emulator" \
    --cutecom "$(command -v cutecom)" --starts 7 >>"$rows"

read -r busy1 total1 < <(cpu_ticks)
load1=$(cut -d' ' -f1-3 /proc/loadavg)

echo
echo "Machine: $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1), Linux $(uname -r)," \
     "Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo '?')," \
     "CuteCom $(dpkg-query -W -f='${Version}' cutecom)"
echo "Load average before: $load0; after: $load1;" \
     "all CPUs busy $(( 100 * (busy1 - busy0) / (total1 - total0 > 0 ? total1 - total0 : 1) ))% of the run"
echo "Figures: median / p99 / max unless said otherwise."
echo
# Rows grouped by measurement, in the order each program printed them.
grep -P '^row\t' "$rows" | cut -f2- | sort -t$'\t' -k1,1n -s | awk -F'\t' '
    BEGIN { h[1] = "#"; h[2] = "measurement"; h[3] = "figure"; h[4] = "goal"; h[5] = "verdict"
            for (i = 1; i <= 5; i++) w[i] = length(h[i]) }
    { n++; for (i = 1; i <= 5; i++) { cell[n, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
    function line(get,   i, s) { s = "|"; for (i = 1; i <= 5; i++) s = s sprintf(" %-*s |", w[i], get[i]); print s }
    END {
        line(h)
        s = "|"; for (i = 1; i <= 5; i++) { d = ""; for (j = 0; j < w[i] + 2; j++) d = d "-"; s = s d "|" } print s
        for (r = 1; r <= n; r++) { for (i = 1; i <= 5; i++) c[i] = cell[r, i]; line(c) }
    }'
