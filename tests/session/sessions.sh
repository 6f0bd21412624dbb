#!/usr/bin/env bash
# Sessions as people run them: the real programador against board-emulators
# on pseudo-terminals. A bench of four boards at once, a fifth session on a
# port in use, bad files refused with nothing on the line, a report that
# cannot be written, a silent board, a board that goes away, and Ctrl+C.
set -uo pipefail
export LANGUAGE=en
exe=$1
emulator=$2
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# board NAME [options]: a board-emulator logging to $work/NAME.log; sets $dev.
board() {
    local name=$1
    shift
    "$emulator" "$@" > "$work/$name.log" 2>&1 &
    pids+=($!)
    eval "${name}_pid=$!"
    for _ in $(seq 100); do
        dev=$(sed -n 's/^Board ready on //p' "$work/$name.log")
        [ -n "$dev" ] && break
        sleep 0.05
    done
    [ -n "$dev" ] || fail "board $name did not start"
    eval "${name}_dev=$dev"
}
commands_seen() { grep -c '^ *[0-9.]* board-emulator\.line: <- ' "$work/$1.log"; }
run() {   # run NAME EXPECTED-CODE ARGS...: one session, its output in $work/NAME.out/.err
    local name=$1 want=$2 rc=0
    shift 2
    timeout 60 "$exe" "$@" > "$work/$name.out" 2> "$work/$name.err" || rc=$?
    [ "$rc" -eq "$want" ] || fail "$name: exit code $rc, not $want: $(cat "$work/$name.err")"
}

cat > "$work/cells.txt" <<'SESSION'
Com1
expect OK
Min 2 Bits 0 1 2 3 4 5 6 7   # a whole minute
Ejecutar Sec.
SESSION
cells_exchanges=22

# 1. Four boards set up alike at once, two at the window's pace and two at
#    the line's, quietly; a fifth session on the first board's port, while
#    that one runs, ends as busy without touching the board.
for n in 1 2 3 4; do board "b$n"; done
start=$(date +%s.%N)
for n in 1 2 3 4; do
    dev_var="b${n}_dev"
    how=(--pace window); [ "$n" -gt 2 ] && how=(--pace line --quiet)
    ( rc=0; "$exe" --com1 "${!dev_var}" --run "$work/cells.txt" --report "$work/b$n.csv" "${how[@]}" \
          > "$work/s$n.out" 2> "$work/s$n.err" || rc=$?; echo "$rc" > "$work/s$n.rc" ) &
done
for _ in $(seq 100); do [ "$(commands_seen b1)" -ge 1 ] && break; sleep 0.05; done
run fifth 8 --com1 "$b1_dev" --run "$work/cells.txt"
grep -q "busy or locked" "$work/fifth.err" || fail "the fifth session does not say the port is busy"
wait_all=0
for n in 1 2 3 4; do
    for _ in $(seq 200); do [ -s "$work/s$n.rc" ] && break; sleep 0.1; done
    [ "$(cat "$work/s$n.rc" 2>/dev/null)" = 0 ] || fail "session $n: exit code $(cat "$work/s$n.rc"): $(cat "$work/s$n.err")"
    if [ "$n" -le 2 ]; then
        [ "$(grep -c ' ok$' "$work/s$n.out")" -eq "$cells_exchanges" ] || fail "session $n: not every verdict ok"
    else
        dev_var="b${n}_dev"
        [ "$(cat "$work/s$n.out")" = "$(echo "$(cat "$work/s$n.out")" | grep -x "Com1 (${!dev_var}): passed; $cells_exchanges exchanges in [0-9.]* s")" ] \
            && [ "$(wc -l < "$work/s$n.out")" -eq 1 ] && [ ! -s "$work/s$n.err" ] \
            || fail "session $n, quiet: $(cat "$work/s$n.out" "$work/s$n.err")"
    fi
    [ "$(commands_seen "b$n")" -eq "$cells_exchanges" ] || fail "board $n saw $(commands_seen "b$n") commands"
    [ "$(wc -l < "$work/b$n.csv")" -eq $((cells_exchanges + 1)) ] || fail "report $n is short"
done
grep -q "the line's floor" "$work/b3.csv" && fail "a report is no place for the summary"
echo "ok: four sessions at once in $(echo "$(date +%s.%N) - $start" | bc) s; the fifth was refused as busy"

# A file as Windows editors save it: a byte-order mark before its first step, CRLF.
printf '\xef\xbb\xbfCom1\r\nMin 2 Bits 0\r\n' > "$work/bom.txt"
before=$(commands_seen b2)
run bom 0 --com1 "$b2_dev" --run "$work/bom.txt"
[ $(( $(commands_seen b2) - before )) -eq 7 ] || fail "a file with a byte-order mark: $(cat "$work/bom.err")"
echo "ok: a file with a byte-order mark runs as written"

# 2. Bad files, and a report that cannot be written: refused before a byte is sent.
printf 'Com1\nProgramr\n' > "$work/bad-word.txt"
printf 'Com1\nMin 11\n' > "$work/bad-minute.txt"
printf 'Com1\nBit 8\n' > "$work/bad-bit.txt"
printf 'Programar\nCom1\n' > "$work/no-port.txt"
printf 'Com1\n\0\n' > "$work/binary.txt"
{ echo Com1; head -c 1048576 /dev/zero | tr '\0' ' '; echo; } > "$work/long-line.txt"
before=$(commands_seen b1)
for bad in bad-word:2:1 bad-minute:2:5 bad-bit:2:5 no-port:1:1 binary:2:1 long-line:2:1001; do
    name=${bad%%:*}
    run "$name" 5 --com1 "$b1_dev" --run "$work/$name.txt"
    grep -q "^$work/$name.txt:${bad#*:}: " "$work/$name.err" || fail "$name: $(cat "$work/$name.err")"
done
# Every mistake at once, and the same words from --show.
printf 'Com1\nProgramr\nMin 11\nBit 8\n' > "$work/three.txt"
run three 5 --com1 "$b1_dev" --run "$work/three.txt"
[ "$(cut -d: -f2,3 "$work/three.err" | tr '\n' ' ')" = "2:1 3:5 4:5 " ] || fail "three mistakes: $(cat "$work/three.err")"
run three-shown 5 --show "$work/three.txt"
cmp -s "$work/three.err" "$work/three-shown.err" || fail "--show says otherwise: $(cat "$work/three-shown.err")"
run unreadable 5 --com1 "$b1_dev" --run "$work/none.txt"
run full-report 9 --com1 "$b1_dev" --run "$work/cells.txt" --report /dev/full
grep -q "No space left" "$work/full-report.err" || fail "a full disk is not said: $(cat "$work/full-report.err")"
sleep 0.3
[ "$(commands_seen b1)" -eq "$before" ] || fail "a refused session sent something"
echo "ok: bad files and an unwritable report refused with nothing sent"

# 3. A silent board at either pace, a board that answers what was not
#    asked, and one that goes away mid-session: their own codes, the failing
#    line named, nothing sent after the failure.
board silent --silent
run silent 11 --com1 "$silent_dev" --run "$work/cells.txt" --retries 1
grep -q "^Failed at line 1 (Com1): no answer" "$work/silent.err" || fail "silent: $(cat "$work/silent.err")"
[ "$(commands_seen silent)" -eq 2 ] || fail "silent board saw $(commands_seen silent) commands"
run silent-line 11 --com1 "$silent_dev" --run "$work/cells.txt" --retries 2 --pace line
[ "$(commands_seen silent)" -eq 5 ] || fail "silent board at the line's pace saw $(commands_seen silent) commands"
printf 'Com1\nexpect ER\nMin 3\n' > "$work/wrong.txt"
run wrong 6 --com1 "$b2_dev" --run "$work/wrong.txt" --pace line
grep -q '^Failed at line 3 (Min 3): status code "OK" is not one of ER' "$work/wrong.err" || fail "wrong: $(cat "$work/wrong.err")"
board gone
( sleep 1.5; kill "$gone_pid" ) &
run gone 7 --com1 "$gone_dev" --run "$work/cells.txt"
grep -q "went away" "$work/gone.err" || fail "gone: $(cat "$work/gone.err")"
echo "ok: silent board exit 11, a wrong answer 6, lost board exit 7"

# On a terminal: the progress line below the exchange lines, gone at the
# end; with the lines in a file, the summary still reaches the terminal.
screen() {   # what a terminal shows of a command's output: '\r' goes back, text overwrites
    script -qec "$1" /dev/null | awk '{ row = ""; n = split($0, part, "\r")
        for (i = 1; i <= n; i++) row = part[i] substr(row, length(part[i]) + 1)
        sub(/ +$/, "", row); print row }'
}
shown=$(screen "'$exe' --com1 '$b2_dev' --run '$work/cells.txt' --pace line")
[ "$(echo "$shown" | grep -c ' ok$')" -eq "$cells_exchanges" ] || fail "on a terminal: $shown"
echo "$shown" | tail -n 1 | grep -q "^$cells_exchanges exchanges, 0 retries" || fail "on a terminal, the end: $shown"
echo "$shown" | grep -q 'step' && fail "the progress line stayed: $shown"
shown=$(screen "'$exe' --com1 '$b2_dev' --run '$work/cells.txt' --pace line > '$work/tty.out'")
echo "$shown" | grep -q "^$cells_exchanges exchanges, 0 retries" || fail "lines in a file, the terminal got: $shown"
echo "ok: on a terminal, progress below the lines and the summary at the end"

# 4. Ctrl+C mid-session: the exchange ends, the port closes, exit code 10.
"$exe" --com1 "$b2_dev" --run "$work/cells.txt" > "$work/int.out" 2> "$work/int.err" &
pid=$!
sleep 1
kill -INT "$pid"
rc=0; wait "$pid" || rc=$?
[ "$rc" -eq 10 ] || fail "exit code $rc after SIGINT"
grep -q "^Interrupted at line " "$work/int.err" || fail "interrupt: $(cat "$work/int.err")"
[ -z "$(grep -lx "$pid" /run/lock/LCK..* /tmp/LCK..* 2>/dev/null)" ] || fail "lock left after SIGINT"
echo "ok: SIGINT ends the session with code 10, lock gone"

# 5. Whoever reads its lines goes away (| head): it ends as interrupted,
#    port closed, and is not killed by SIGPIPE.
set +o pipefail
"$exe" --com1 "$b3_dev" --run "$work/cells.txt" 2> "$work/head.err" | head -n 2 > /dev/null
rc=${PIPESTATUS[0]}
set -o pipefail
[ "$rc" -eq 10 ] || fail "exit code $rc when the reader left, not 10: $(cat "$work/head.err")"
grep -q "whoever read its output has gone" "$work/head.err" || fail "head: $(cat "$work/head.err")"
echo "ok: a reader that leaves ends the session with code 10"

# 6. The demo's boards, from standard input.
rc=0; printf 'Com2\nMin 10 Bits 7\nStart\n' | timeout 30 "$exe" --demo --run - > "$work/demo.out" || rc=$?
[ "$rc" -eq 0 ] || fail "--demo session: exit code $rc"
grep -q '"I2P  10 "  "OK1001"  ok' "$work/demo.out" || fail "--demo: $(cat "$work/demo.out")"
echo "ok: a session on the demo's boards"
