#!/usr/bin/env bash
# The Windows installer and the program it installs, under Wine on a virtual X
# server, as a Windows user meets them:
#  1. the installer's silent mode (/S) installs into Program Files of a fresh
#     prefix, with a Start-menu entry and Explorer's "Open with" for .txt;
#  2. Wine's COM1 is an emulated board on a pseudo-terminal, at the line's pace;
#     Com1 picked by keyboard sends the four commands of a port pick, byte for
#     byte, in order, about 200 ms apart, and the reply fills the status boxes;
#  3. Com2, with COM2 switched off, gets a message that names COM2 (read the
#     Windows way: Ctrl+C copies a message box);
#  4. Salir ends the program with 0 and the port is free again;
#  5. a session from cmd on COM1: its lines, the board's bytes and its exit
#     code; a bad file exits 5 with nothing sent; a file given to the panel
#     opens in its program window and Ctrl+Enter sends it; the board unplugged
#     mid-session is told as gone, with exit code 7;
#  6. the uninstaller, silent too, leaves nothing behind.
#   installed_under_wine.sh WINE64 INSTALLER BOARD_EMULATOR WORK_DIR
set -euo pipefail

if [ "${1:-}" != --inner ]; then
    exec xvfb-run -a -s "-screen 0 800x600x24" bash "$0" --inner "$@"
fi
shift
wine64=$1 installer=$2 emulator=$3 work=$4
title='^Programar en tiempo rreal$'

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$installer" ] || fail "no installer at $installer (cpack -G NSIS in the Windows build)"
[ -x "$emulator" ] || fail "no board-emulator at $emulator (the Linux build)"

mkdir -p "$work"
export WINEPREFIX=$work/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# English from Wine and from the panel, whatever this machine speaks.
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 LANGUAGE=en

board_pid=
panel_pid=
cleanup() {
    [ -z "$panel_pid" ] || kill "$panel_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -z "$board_pid" ] || kill "$board_pid" 2>/dev/null || true
}
trap cleanup EXIT

wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
"$wine64" wineboot --init
wineserver -w

# 1. Install, silently.
"$wine64" "$installer" /S
wineserver -w
home="$WINEPREFIX/drive_c/Program Files/Programador"
exe="$home/bin/programador.exe"
[ -f "$exe" ] || fail "the installer put no programador.exe in Program Files"
link=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Programador.lnk' | head -n 1)
[ -n "$link" ] || fail "no Start-menu entry"
[ -f "$home/Uninstall.exe" ] || fail "no uninstaller"
openwith='HKLM\Software\Classes\Applications\programador.exe\shell\open\command'
"$wine64" reg query "$openwith" 2>/dev/null | tr -d '\r' | grep -q 'programador.exe" "%1"' \
    || fail "Explorer's \"Open with\" does not hand files to the panel"
echo "ok: installed silently into Program Files, with ${link#"$WINEPREFIX/drive_c/"}"

# 2. An emulated board at the line's pace behind COM1; nothing behind COM2.
"$emulator" > "$work/board.log" 2>&1 &
board_pid=$!
for _ in $(seq 100); do grep -q '^Board ready on ' "$work/board.log" && break; sleep 0.1; done
pty=$(sed -n 's/^Board ready on //p' "$work/board.log")
[ -n "$pty" ] || fail "no board came up: $(cat "$work/board.log")"
"$wine64" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$pty" /f >/dev/null
"$wine64" reg add 'HKLM\Software\Wine\Ports' /v COM2 /t REG_SZ /d "" /f >/dev/null
# Wine maps its ports when it starts.
wineserver -k
wineserver -w

started=$(date +%s%N)
"$wine64" "$exe" > "$work/panel.out" 2>&1 &
panel_pid=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name "$title" | head -n 1) \
    || fail "no window appeared"
echo "ok: window shown $(( ($(date +%s%N) - started) / 1000000 )) ms after start"
xdotool windowmove "$wid" 0 0
sleep 1
import -window root "$work/wine-start.png"

# Darkest pixel inside the RX box (0 black .. 1 white): text makes it dark.
rx_box_ink() {
    import -window root "$1"
    convert "$1" -crop "$RX_BOX" +repage -colorspace Gray -format '%[fx:minima]' info:
}
# The RX box, relative to the window's top left corner (no window manager): the
# client area is 263 pixels high, under the menu bar.
eval "$(xdotool getwindowgeometry --shell "$wid" | grep '^HEIGHT=')"
RX_BOX=${RX_BOX:-29x13+162+$((234 + HEIGHT - 263))}
before=$(rx_box_ink "$work/wine-before.png")

xdotool windowfocus --sync "$wid"
xdotool key --window "$wid" shift+Tab   # from Salir back round to the port list
xdotool key --window "$wid" Down        # picks "Com1"
sleep 2                                 # four exchanges of about 200 ms each
after=$(rx_box_ink "$work/wine-connected.png")

# The board's side: exactly the four commands, byte for byte, in order.
# A command in the board's log: '     0.412 board-emulator.line: <- "I1"'.
awk '$2 == "board-emulator.line:" && $3 == "<-" { sub(/^ *[0-9.]+ board-emulator\.line: <- /, ""); print }' \
    "$work/board.log" > "$work/received"
expected=$'"I2P  1 "\n"I3P  0 "\n"I7P  1 "\n"I1"'
[ "$(cat "$work/received")" = "$expected" ] \
    || fail "the board received $(paste -sd' ' "$work/received"), not the port pick's four commands"
# About 200 ms apart: each waits for the last one's reply, none for a time-out.
gaps=$(awk '$2 == "board-emulator.line:" && $3 == "<-" { if (n++) printf "%d ", ($1 - last) * 1000; last = $1 }' "$work/board.log")
for gap in $gaps; do
    [ "$gap" -ge 150 ] && [ "$gap" -le 1000 ] || fail "commands $gaps ms apart, not about 200"
done
echo "ok: the board received the four commands in order, $gaps ms apart"
awk -v b="$before" -v a="$after" 'BEGIN { exit !(b > 0.8 && a < 0.5) }' \
    || fail "RX box did not fill in (ink before $before, after $after)"
echo "ok: the status boxes show the reply (ink $before before, $after after)"

# 3. Com2: nothing behind it.
xdotool key --window "$wid" Down        # picks "Com2"
box=
for _ in $(seq 50); do
    box=$(xdotool search --onlyvisible --name "$title" | grep -vx "$wid" | head -n 1) && [ -n "$box" ] && break
    sleep 0.2
done
[ -n "$box" ] || fail "no message for Com2"
sleep 0.5
import -window root "$work/wine-com2.png"
xdotool windowfocus --sync "$box"
xdotool key --window "$box" ctrl+c
sleep 0.5
timeout 10 xclip -o -selection clipboard > "$work/com2-message.txt" \
    || fail "could not copy the message"
grep -q 'COM2' "$work/com2-message.txt" || fail "the message does not name COM2: $(cat "$work/com2-message.txt")"
# Wine keeps a switched-off COM2 as a device that opens and then fails to set
# up ("Invalid function"); either way the message lists the ports Wine has,
# Com1's marked.
grep -q '^Com1  *COM1' "$work/com2-message.txt" \
    || fail "the message does not list the ports: $(cat "$work/com2-message.txt")"
echo "ok: Com2's message names COM2 and lists the ports: $(sed -n 4p "$work/com2-message.txt")"
xdotool key --window "$box" Return      # OK closes it

# 4. Salir.
xdotool windowfocus --sync "$wid"
xdotool key --window "$wid" Tab space   # from the port list on to Salir, and press it
rc=0
timeout 30 tail --pid="$panel_pid" -f /dev/null || fail "Salir did not end the program"
wait "$panel_pid" || rc=$?
panel_pid=
[ "$rc" -eq 0 ] || fail "exit code $rc after Salir"
for fd in /proc/[0-9]*/fd/*; do
    [ "$(readlink "$fd" 2>/dev/null)" = "$pty" ] || continue
    pid=${fd#/proc/}; pid=${pid%%/*}
    [ "$pid" = "$board_pid" ] || fail "COM1 still held by $(cat "/proc/$pid/comm" 2>/dev/null) ($pid) after the end"
done
echo "ok: exit code 0 after Salir, and COM1 is free"

# 5. A session in the Windows console, on the board behind COM1.
printf 'Com1\r\nexpect OK\r\nMin 3 Bits 0 5\r\nStart\r\n' > "$work/session.txt"
printf 'Com1\r\nMin 11\r\n' > "$work/bad-session.txt"
win_exe=$("$wine64" winepath -w "$exe" 2>/dev/null | tr -d '\r')
win_work=$("$wine64" winepath -w "$work" 2>/dev/null | tr -d '\r')
sent_before=$(grep -c '^ *[0-9.]* board-emulator\.line: <- ' "$work/board.log")
rc=0
"$wine64" cmd /c "$win_exe" --run "$win_work\\bad-session.txt" > "$work/bad-session.out" 2>&1 || rc=$?
[ "$rc" -eq 5 ] || fail "a bad session file exits $rc, not 5: $(cat "$work/bad-session.out")"
grep -q 'bad-session.txt:2:5: ' "$work/bad-session.out" || fail "the mistake is not placed: $(cat "$work/bad-session.out")"
rc=0
"$wine64" cmd /c "$win_exe" --run "$win_work\\session.txt" --report "$win_work\\session.csv" \
    > "$work/session.out" 2>&1 || rc=$?
[ "$rc" -eq 0 ] || fail "the session exits $rc: $(cat "$work/session.out")"
[ "$(grep -c ' ok' "$work/session.out")" -eq 10 ] || fail "not ten verdicts ok: $(cat "$work/session.out")"
[ "$(wc -l < "$work/session.csv")" -eq 11 ] || fail "the report has not eleven lines"
sent=$(awk -v from="$sent_before" '$2 == "board-emulator.line:" && $3 == "<-" && ++n > from {
             sub(/^ *[0-9.]+ board-emulator\.line: <- /, ""); printf "%s ", $0 }' "$work/board.log")
[ "$sent" = '"I2P  1 " "I3P  0 " "I7P  1 " "I1" "I2P  3 " "I3P  0 " "I4" "I3P  5 " "I4" "I8" ' ] \
    || fail "the board received $sent"
echo "ok: a session from cmd: exit code 0, ten exchanges, the report; a bad file exits 5 with nothing sent"

# The program window: a file given on the command line opens in it, Ctrl+Enter
# sends it to COM1, and the menu's Salir ends the program.
printf 'Com1\r\nMin 2 Bits 1 4\r\nMin 7\r\nMinutos\r\nBit 3\r\nProgramar\r\n' > "$work/program.txt"
sent_before=$(grep -c '^ *[0-9.]* board-emulator\.line: <- ' "$work/board.log")
answered_before=$(grep -c '^ *[0-9.]* board-emulator\.line: -> ' "$work/board.log")
"$wine64" "$exe" "$win_work\\program.txt" > "$work/program.out" 2>&1 &
panel_pid=$!
program=$(timeout 60 xdotool search --sync --onlyvisible --name '^program.txt' | head -n 1) \
    || fail "the file given was not opened in the program window"
xdotool windowfocus --sync "$program"
xdotool key --window "$program" ctrl+Return
for _ in $(seq 100); do
    [ "$(grep -c '^ *[0-9.]* board-emulator\.line: -> ' "$work/board.log")" -ge $((answered_before + 13)) ] && break
    sleep 0.1
done
sent=$(awk -v from="$sent_before" '$2 == "board-emulator.line:" && $3 == "<-" && ++n > from {
             sub(/^ *[0-9.]+ board-emulator\.line: <- /, ""); printf "%s ", $0 }' "$work/board.log")
[ "$sent" = '"I2P  1 " "I3P  0 " "I7P  1 " "I1" "I2P  2 " "I3P  1 " "I4" "I3P  4 " "I4" "I2P  7 " "I5" "I3P  3 " "I4" ' ] \
    || fail "Enviar sent $sent"
sleep 0.5
import -window root "$work/wine-program.png"
# Back to the panel: with no window manager, Wine moves the active window
# only on a click (on the panel's caption "Estado", which does nothing);
# then its menu, Alt+P, as typed (Wine reads Alt off the keyboard itself).
wid=$(xdotool search --onlyvisible --name "$title" | head -n 1)
xdotool mousemove --window "$wid" 20 $((190 + HEIGHT - 263)) click 1
sleep 0.5
xdotool key alt+p
sleep 0.5
xdotool key Up Return                   # in the menu now open: its last entry, Salir
rc=0
timeout 30 tail --pid="$panel_pid" -f /dev/null || fail "the menu's Salir did not end the program"
wait "$panel_pid" || rc=$?
panel_pid=
[ "$rc" -eq 0 ] || fail "exit code $rc after the menu's Salir"
echo "ok: the program window sent the file given to COM1; the menu's Salir ended the program"

# The board unplugged mid-session: the loss in plain words, exit code 7.
{ printf 'Com1\r\n'; for _ in $(seq 10); do printf 'Min 3 Bits 0 5\r\n'; done; } > "$work/long-session.txt"
sent_before=$(grep -c '^ *[0-9.]* board-emulator\.line: <- ' "$work/board.log")
rc=0
"$wine64" cmd /c "$win_exe" --run "$win_work\\long-session.txt" > "$work/gone.out" 2> "$work/gone.err" &
session_pid=$!
for _ in $(seq 300); do
    [ "$(grep -c '^ *[0-9.]* board-emulator\.line: <- ' "$work/board.log")" -ge $((sent_before + 8)) ] && break
    sleep 0.1
done
kill "$board_pid"
wait "$board_pid" 2>/dev/null || true
board_pid=
wait "$session_pid" || rc=$?
# Wine's server dumps its state on standard error when the line hangs up: our line only.
stopped=$(grep '^Stopped at line ' "$work/gone.err" | tr -d '\r')
[ "$rc" -eq 7 ] || fail "a lost board exits $rc, not 7: $stopped"
[[ "$stopped" == *': Lost the connection on Com1 (COM1): the device went away. Nothing more was sent'* ]] \
    || fail "the loss reads: $stopped"
# What the board held when it went: the program window's minutes as sent.
grep -qx ' 2 \.#\.\.#\.\.\.' "$work/board.log" && grep -qx ' 7 \.\.\.#\.\.\.\.' "$work/board.log" \
    || fail "the board does not hold the program window's minutes 2 and 7: $(tail -n 12 "$work/board.log")"
echo "ok: the board unplugged mid-session: exit code 7, \"${stopped#*: }\""

# 6. Uninstall, silently: the files, the Start-menu entry and the uninstall record go.
"$wine64" "$home/Uninstall.exe" /S
wineserver -w
for _ in $(seq 50); do [ ! -e "$home" ] && break; sleep 0.2; done
[ ! -e "$home" ] || fail "left behind: $(find "$home" | head)"
[ ! -e "$link" ] || fail "the Start-menu entry is left behind"
if "$wine64" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Programador' >/dev/null 2>&1; then
    fail "the uninstall record is left behind"
fi
if "$wine64" reg query "$openwith" >/dev/null 2>&1; then
    fail "the \"Open with\" entry is left behind"
fi
echo "ok: uninstalled cleanly"
