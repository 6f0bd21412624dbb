#!/usr/bin/env bash
# The real program on a real X server: it starts with --demo and shows its
# window, a port picked with the keyboard fills the status boxes from the
# emulated board, and it ends with exit code 0 on Salir, SIGTERM, SIGINT, SIGHUP
# and when its window is destroyed from outside; when its X connection is
# killed it still closes the port (its lock file goes) and ends with code 4.
# A trace reader that leaves mid-sequence ends the trace, not the panel.
# Start-up failures name their real cause.
set -euo pipefail

if [ "${1:-}" != --inner ]; then
    exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" --inner "$@"
fi
shift
exe=$1
shots=${2:-.}
title='^Programar en tiempo rreal$'
fail() { echo "FAIL: $*" >&2; exit 1; }

start_panel() {
    "$exe" --demo &
    pid=$!
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n 1) \
        || fail "no window appeared"
    xdotool windowmove "$wid" 0 0
    # The controls sit under the menu bar, in a client area 263 pixels high.
    local HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$wid" | grep '^HEIGHT=')"
    bar=$((HEIGHT - 263))
}

# Darkest pixel inside the RX box (0 black .. 1 white): text makes it dark.
rx_box_ink() {
    import -window root "$1"
    convert "$1" -crop 29x13+162+$((234 + bar)) +repage -colorspace Gray -format '%[fx:minima]' info:
}

# Picks Com1 from the keyboard: from Salir back round to the port list, then down.
pick_com1() {
    xdotool windowfocus --sync "$wid"
    xdotool key --window "$wid" shift+Tab
    xdotool key --window "$wid" Down
}

# The port lock files that name the panel (Qt SerialPort writes its PID first).
panel_locks() {
    grep -lx "$pid" /run/lock/LCK..* /tmp/LCK..* 2>/dev/null || true
}

end_with() {
    local how=$1 rc=0
    wait "$pid" || rc=$?
    [ "$rc" -eq 0 ] || fail "exit code $rc after $how"
    echo "ok: exit code 0 after $how"
}

# 1. Start, pick Com1 from the keyboard, see the reply, leave with Salir.
start_panel
sleep 0.5   # settled where the screenshots expect it
before=$(rx_box_ink "$shots/smoke-start.png")
pick_com1
sleep 1.5   # four exchanges of about 200 ms each
after=$(rx_box_ink "$shots/smoke-connected.png")
awk -v b="$before" -v a="$after" 'BEGIN { exit !(b > 0.8 && a < 0.5) }' \
    || fail "RX box did not fill in (ink before $before, after $after)"
echo "ok: status boxes filled by the emulated board"
xdotool mousemove --window "$wid" 180 $((144 + bar)) click 1   # Salir
end_with "Salir"

# 2. Signals from a terminal or the session end it cleanly too.
for sig in TERM INT HUP; do
    start_panel
    kill -s "$sig" "$pid"
    end_with "SIG$sig"
done

# 3. A window destroyed from outside (a window manager killing it) ends the program.
start_panel
xdotool windowclose "$wid"
end_with "windowclose"

# 4. The X connection killed (xkill): Qt ends the process at once, yet the
#    port is closed first and the exit code is the manual's.
start_panel
pick_com1
for _ in $(seq 100); do locks=$(panel_locks); [ -z "$locks" ] || break; sleep 0.05; done
[ -n "$locks" ] || fail "no port lock names the panel with Com1 open"
xdotool windowkill "$wid"
rc=0; wait "$pid" || rc=$?
[ "$rc" -eq 4 ] || fail "exit code $rc after the X connection was killed"
[ -z "$(panel_locks)" ] || fail "port lock left behind after the X connection was killed: $locks"
echo "ok: X connection killed: exit code 4, lock $locks gone"

# 5. The trace's reader leaves during Com1's sequence, as in
#    `--trace 2>&1 >/dev/null | head -c 200`: no death by SIGPIPE; the
#    sequence ends, Salir ends the panel with 0 and its port's lock goes.
fifo=$(mktemp -u)
mkfifo "$fifo"
head -c 200 <"$fifo" >"$shots/trace-head.txt" &
reader=$!
"$exe" --demo --trace 2>"$fifo" >/dev/null &
pid=$!
rm "$fifo"
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n 1) \
    || fail "no window appeared with --trace"
xdotool windowmove "$wid" 0 0
sleep 0.5
pick_com1
wait "$reader"
[ "$(wc -c <"$shots/trace-head.txt")" -eq 200 ] || fail "the trace's reader got no 200 bytes"
sleep 1.5   # the rest of the sequence, with nobody to read its trace
kill -0 "$pid" 2>/dev/null || { rc=0; wait "$pid" || rc=$?; fail "panel ended (code $rc) when the trace's reader left"; }
after=$(rx_box_ink "$shots/smoke-trace-reader-gone.png")
awk -v a="$after" 'BEGIN { exit !(a < 0.5) }' || fail "RX box empty after the trace's reader left"
locks=$(panel_locks)
[ -n "$locks" ] || fail "no port lock names the panel with Com1 open"
xdotool mousemove --window "$wid" 180 $((144 + bar)) click 1   # Salir
end_with "Salir, the trace's reader gone"
[ -z "$(panel_locks)" ] || fail "port lock left behind: $locks"
echo "ok: trace reader gone mid-sequence: panel went on, lock $locks gone"

# 6. Qt's own options are taken; a display or platform that does not work is
#    said in one line naming the real cause, exit code 3.
"$exe" -platform offscreen --version >/dev/null || fail "-platform refused"
start_fails() {
    local words=$1 rc=0 msg
    shift
    msg=$("$@" 2>&1) || rc=$?
    [ "$rc" -eq 3 ] || fail "exit code $rc, not 3, for: $*"
    [ "$(printf '%s\n' "$msg" | wc -l)" -eq 1 ] || fail "more than one line for: $*: $msg"
    local word
    for word in $words; do
        [[ $msg == *"$word"* ]] || fail "'$word' missing for: $*: $msg"
    done
    echo "ok: $* -> $msg"
}
start_fails "DISPLAY xvfb-run" env -u DISPLAY "$exe"
start_fails ':998 xvfb-run' "$exe" -display :998
start_fails '"bogus" xcb offscreen' "$exe" -platform bogus
start_fails '"bogus" xcb offscreen' env QT_QPA_PLATFORM=bogus "$exe"
start_fails 'complemento «bogus» xcb' env LANGUAGE=es QT_QPA_PLATFORM=bogus "$exe"
