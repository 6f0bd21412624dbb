#!/usr/bin/env bash
# programador --show: the grid a session file leaves on a board, in English
# and Spanish, from a file or standard input; a bad file refused as --run
# refuses it; and board-emulator, stopped after the file has run on it,
# prints the same grid.
set -uo pipefail
export LANGUAGE=en
exe=$1
emulator=$2
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cat > "$work/board.txt" <<'SESSION'
Com1
Min 2 Bits 0 1 7
Bit 1
Bit/Min          # minute 2: 0 and 7 on, 1 off
Min 3 Bits 4 6
Minutos          # minute 3 all off
Min 10 Bits 6
Ejecutar Una
Start
SESSION
cat > "$work/want" <<'GRID'
 1 --------
 2 #.-----#
 3 ........
 4 --------
 5 --------
 6 --------
 7 --------
 8 --------
 9 --------
10 ------#-
mode: Una
start: yes
GRID

rc=0; env -u DISPLAY "$exe" --show "$work/board.txt" > "$work/out" 2> "$work/err" || rc=$?
[ "$rc" -eq 0 ] || fail "--show: exit code $rc: $(cat "$work/err")"
diff "$work/want" "$work/out" || fail "--show does not print the grid the file leaves"
[ ! -s "$work/err" ] || fail "--show wrote to standard error: $(cat "$work/err")"
LANGUAGE=es "$exe" --show - < "$work/board.txt" > "$work/out.es" || fail "--show - in Spanish: exit code $?"
diff <(head -n 10 "$work/want"; printf 'modo: Una\nstart: sí\n') "$work/out.es" \
    || fail "--show in Spanish"
printf 'Com2\nEjecutar Sec\n' | "$exe" --show - | tail -n 2 | diff - <(printf 'mode: Sec.\nstart: no\n') \
    || fail "--show does not say the mode and Start"
rc=0; "$exe" --show "$work/board.txt" > /dev/full || rc=$?
[ "$rc" -eq 1 ] || fail "--show to a full disk exits $rc, not 1"
echo "ok: --show prints the grid, in English and Spanish; a full disk fails"

# A bad file: the words and exit code of --run, nothing on standard output.
printf 'Com1\nMin 11\n' > "$work/bad-minute.txt"
printf 'Com1\nProgramr\n' > "$work/bad-word.txt"
for bad in bad-minute:2:5 bad-word:2:1; do
    name=${bad%%:*}
    rc=0; "$exe" --show "$work/$name.txt" > "$work/out" 2> "$work/err" || rc=$?
    [ "$rc" -eq 5 ] || fail "$name: exit code $rc, not 5"
    grep -q "^$work/$name.txt:${bad#*:}: " "$work/err" || fail "$name: $(cat "$work/err")"
    [ ! -s "$work/out" ] || fail "$name: printed $(cat "$work/out")"
    rc=0; "$exe" --run "$work/$name.txt" 2> "$work/err.run" || rc=$?
    diff "$work/err" "$work/err.run" || fail "$name: --show and --run say different things"
done
rc=0; "$exe" --show "$work/none.txt" 2> "$work/err" || rc=$?
[ "$rc" -eq 5 ] && grep -q "cannot read $work/none.txt" "$work/err" || fail "no file: $rc $(cat "$work/err")"
for args in "--show" "--show $work/board.txt --run $work/board.txt" "--show $work/board.txt --list-ports"; do
    # shellcheck disable=SC2086 # split on purpose
    rc=0; "$exe" $args > /dev/null 2>&1 || rc=$?
    [ "$rc" -eq 2 ] || fail "'$args' exits $rc, not 2"
done
echo "ok: bad files exit 5 as with --run, and misuse 2"

# The file carried out on board-emulator: stopped, it prints what it holds
# in the same form, every cell the file leaves untouched off since power-on.
"$emulator" --instant --delay 5 > "$work/board.log" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q '^Board ready on ' "$work/board.log" && break; sleep 0.05; done
dev=$(sed -n 's/^Board ready on //p' "$work/board.log")
[ -n "$dev" ] || fail "no board came up: $(cat "$work/board.log")"
"$exe" --com1 "$dev" --run "$work/board.txt" > /dev/null 2> "$work/err" || fail "--run: $(cat "$work/err")"
kill -TERM "$pid"
wait "$pid" || fail "board-emulator ended with $?"
pid=
[ "$(tail -n 13 "$work/board.log" | head -n 1)" = "The board held:" ] || fail "$(tail -n 14 "$work/board.log")"
diff <(tr -- - . < "$work/want") <(tail -n 12 "$work/board.log") \
    || fail "board-emulator does not hold what --show says"
echo "ok: board-emulator holds what --show says"
