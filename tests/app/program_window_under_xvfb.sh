#!/usr/bin/env bash
# The board's program window in the real program, by keyboard only, on a
# board-emulator at a real line's pace: the menu opens the window; a file
# given on the command line is shown, Enviar sends it, the board holds what
# --show says the file leaves.
set -euo pipefail

if [ "${1:-}" != --inner ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inner "$@"
fi
shift
exe=$1 emulator=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

"$emulator" >"$work/board.log" 2>&1 &
board=$!
for _ in $(seq 100); do grep -q '^Board ready on ' "$work/board.log" && break; sleep 0.05; done
device=$(sed -n 's/^Board ready on //p' "$work/board.log")
[ -n "$device" ] || fail "no board"

window_named() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }

# 1. Alt+P, Enter: the first entry opens the program window.
"$exe" --com1 "$device" &
panel=$!
wid=$(window_named '^Programar en tiempo rreal$') || fail "no panel"
xdotool windowfocus --sync "$wid"
xdotool key --window "$wid" alt+p
sleep 0.5
xdotool key Return
window_named 'Board program$' >/dev/null || fail "the menu did not open the program window"
echo "ok: Alt+P, Enter opens the program window"
kill -TERM "$panel"
wait "$panel" || fail "the panel did not end cleanly"

# 2. A file on the command line, shown and sent with Ctrl+Enter.
cat >"$work/board.txt" <<'PROGRAM'
Com1
Min 2 Bits 1 4
Min 5
Minutos
Bit 3
Programar
Ejecutar Una
PROGRAM
exchanges=$(( 4 + 5 + 4 + 1 ))
"$exe" --com1 "$device" --trace "$work/board.txt" 2>"$work/trace.log" &
panel=$!
program=$(window_named '^board.txt') || fail "the file given was not opened in the program window"
xdotool windowfocus --sync "$program"
xdotool key --window "$program" ctrl+Return
for _ in $(seq 200); do
    [ "$(grep -c -E 'programador.line: (shown|time-out)' "$work/trace.log")" -ge "$exchanges" ] && break
    sleep 0.1
done
[ "$(grep -c -E 'programador.line: shown' "$work/trace.log")" -eq "$exchanges" ] \
    || fail "not every exchange was answered: $(grep -c 'programador.line: shown' "$work/trace.log") of $exchanges"
echo "ok: Ctrl+Enter sent the file's $exchanges exchanges"
kill -TERM "$panel"
wait "$panel" || fail "the panel did not end cleanly"

# 3. The board holds what the file leaves: untouched cells are off on a new board.
kill -INT "$board"
wait "$board" || true
diff <("$exe" --show "$work/board.txt" | tr - .) <(tail -n 12 "$work/board.log") \
    || fail "the board does not hold what the file leaves"
echo "ok: the board holds what --show says the file leaves"
