#!/usr/bin/env bash
# The real program ended in the middle of a wait with work queued: once by the
# window manager's close (WM_DELETE_WINDOW, as the title bar's X sends) and once
# by SIGTERM. Each time it must exit with 0, send nothing more to the board, and
# leave the port free for the next program.
set -euo pipefail

if [ "${1:-}" != --inner ]; then
    exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" --inner "$@"
fi
shift
exe=$1 emulator=$2 peer=$3
title='^Programar en tiempo rreal$'
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/board.log" ] && cat "$work/board.log" >&2; exit 1; }

matchbox-window-manager -use_titlebar no &
pids+=($!)

# Answers come after every poll of a wait, so each wait lasts its full 300 ms.
"$emulator" --delay 250 > "$work/board.log" &
pids+=($!)
for _ in $(seq 100); do grep -q '^Board ready on ' "$work/board.log" && break; sleep 0.1; done
dev=$(sed -n 's/^Board ready on //p' "$work/board.log")
[ -n "$dev" ] || fail "the emulated board did not start"

commands() { grep -c '^ *[0-9.]* board-emulator\.line: <- ' "$work/board.log" || true; }

for how in close TERM; do
    start=$(commands)
    "$exe" --com1 "$dev" &
    pid=$!
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n 1) \
        || fail "no window appeared"
    xdotool windowfocus --sync "$wid"
    xdotool key --window "$wid" shift+Tab Down   # picks Com1: four commands
    for x in 36 108 36 108; do                    # Programar, Start, twice: queued
        xdotool mousemove --window "$wid" "$x" 144 click 1
    done
    for _ in $(seq 200); do [ $(($(commands) - start)) -ge 2 ] && break; sleep 0.05; done
    [ $(($(commands) - start)) -ge 2 ] || fail "the board heard nothing from the panel"

    if [ "$how" = close ]; then wmctrl -i -c "$wid"; else kill -TERM "$pid"; fi
    rc=0
    timeout 20 tail --pid="$pid" -f /dev/null || fail "still running 20 s after $how"
    wait "$pid" || rc=$?
    [ "$rc" -eq 0 ] || fail "exit code $rc after $how"

    sleep 0.5   # what was on the line when it ended reaches the board's log
    sent=$(($(commands) - start))
    sleep 1
    [ $(($(commands) - start)) -eq "$sent" ] || fail "commands went out after $how"
    [ "$sent" -lt 8 ] || fail "all $sent commands ran: $how did not land mid-wait"
    "$peer" check "$dev" > "$work/check.log" || fail "another program could not use the port after $how"
    echo "ok: $how mid-wait: exit code 0, $sent of 8 commands sent, port free"
done
