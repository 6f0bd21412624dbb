#!/usr/bin/env bash
# board-emulator's exit codes: 2 for a mistake on the command line (with a
# hint on stderr), 0 for --help and when SIGINT, SIGTERM or SIGHUP stop it,
# also after its reader has gone; its log in the panel's trace format.
set -uo pipefail
export LANGUAGE=en   # its English words are checked, whatever the desktop speaks
emulator=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for args in "--bogus" "stray" "--delay x" "--delay -5" "--delay"; do
    # shellcheck disable=SC2086 # split on purpose
    timeout 10 "$emulator" $args > "$work/out" 2> "$work/err"
    rc=$?
    [ "$rc" -eq 2 ] || fail "'$args' exits $rc, not 2"
    grep -q "^board-emulator: " "$work/err" || fail "'$args' does not say what is wrong"
    grep -qx "Try 'board-emulator --help'." "$work/err" || fail "'$args' does not point to --help"
    [ ! -s "$work/out" ] || fail "'$args' started anyway: $(cat "$work/out")"
done

"$emulator" --help > "$work/out" || fail "--help exits $?"
grep -q -- "--instant" "$work/out" || fail "--help does not mention --instant"

for signal in INT TERM HUP; do
    # One log per run: the child truncates its log only after the fork, so a
    # shared one could still show the previous run's ready line.
    log=$work/log.$signal
    "$emulator" > "$log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do grep -q '^Board ready on ' "$log" && break; sleep 0.1; done
    grep -q '^Board ready on ' "$log" || fail "no board came up: $(cat "$log")"
    kill -s "$signal" "$pid"
    wait "$pid"
    rc=$?
    [ "$rc" -eq 0 ] || fail "SIG$signal ends it with $rc, not 0"
    grep -qx 'Stopped.' "$log" || fail "SIG$signal did not stop it cleanly"
done

# The log reads like the panel's trace: seconds since start, the category,
# the arrow and the bytes as QDebug quotes them.
log=$work/log.traffic
"$emulator" --instant > "$log" 2>&1 &
pid=$!
for _ in $(seq 100); do grep -q '^Board ready on ' "$log" && break; sleep 0.1; done
dev=$(sed -n 's/^Board ready on //p' "$log")
[ -n "$dev" ] || fail "no board came up: $(cat "$log")"
printf 'I1' > "$dev"
stamp='^ *[0-9]+\.[0-9]{3} board-emulator\.line: '
for _ in $(seq 100); do grep -qE "$stamp"'-> "OK' "$log" && break; sleep 0.1; done
kill -s TERM "$pid"
wait "$pid"
grep -qE "$stamp"'<- "I1"$' "$log" || fail "the command is not logged as the panel traces: $(cat "$log")"
grep -qE "$stamp"'-> "OK[0-9]{4}"$' "$log" || fail "the answer is not logged as the panel traces: $(cat "$log")"

# board-emulator | head -n 1: the reader goes, the board goes on and ends
# normally, not by SIGPIPE.
mkfifo "$work/pipe"
"$emulator" --instant > "$work/pipe" 2> "$work/err" &
pid=$!
head -n 1 < "$work/pipe" > "$work/head"
dev=$(sed -n 's/^Board ready on //p' "$work/head")
[ -n "$dev" ] || fail "no board came up: $(cat "$work/head" "$work/err")"
printf 'I1' > "$dev"   # logged to nobody
sleep 0.5
kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "its reader gone, it ended with $?"; }
kill -s TERM "$pid"
wait "$pid"
rc=$?
[ "$rc" -eq 0 ] || fail "its reader gone, SIGTERM ends it with $rc, not 0"
echo "ok: board-emulator's exit codes and log"
