#!/usr/bin/env bash
# --help and a command-line mistake in Spanish and in English, without a
# display; a desktop that lists English before Spanish gets English. The
# emulator, when given, speaks Spanish too. Both programs' help fits 79
# columns in both languages, its words whole.
set -uo pipefail
exe=$1
emulator=${2:-}
fail() { echo "FAIL: $*" >&2; exit 1; }

# language list, program, a sentence of its description that spans lines
help_fits() {
    local out width
    out=$(env -u DISPLAY LANGUAGE="$1" "$2" --help) || fail "$2 --help failed under LANGUAGE=$1"
    width=$(printf '%s\n' "$out" | LC_ALL=C.UTF-8 wc -L)
    [ "$width" -le 79 ] || fail "$2 --help under LANGUAGE=$1 is $width columns wide"
    [[ $(printf '%s' "$out" | tr '\n' ' ' | tr -s ' ') == *"$3"* ]] \
        || fail "$2 --help under LANGUAGE=$1 cuts '$3': $out"
    echo "ok: $2 --help under LANGUAGE=$1 is $width columns wide"
}

# language list, words of --help, words of the answer to --bogus
check() {
    local languages=$1 help=$2 mistake=$3 out rc=0
    run() { env -u LC_ALL -u LC_MESSAGES -u DISPLAY LANGUAGE="$languages" LANG=es_ES.UTF-8 "$@"; }
    out=$(run "$exe" --help) || fail "--help failed under LANGUAGE=$languages"
    [[ $out == *"$help"* ]] || fail "--help under LANGUAGE=$languages lacks '$help': $out"
    out=$(run "$exe" --bogus 2>&1) || rc=$?
    [ "$rc" -eq 2 ] || fail "exit code $rc for --bogus under LANGUAGE=$languages"
    [[ $out == *"$mistake"* ]] || fail "--bogus under LANGUAGE=$languages lacks '$mistake': $out"
    echo "ok: LANGUAGE=$languages"
}

check es "--com1 <dispositivo>  Usa este dispositivo para Com1." "Pruebe «programador --help»."
check en:es "--com1 <device>  Use this device for Com1." "Try 'programador --help'."
help_fits en "$exe" "looked up again at each port pick; --com1 and --com2 fix a device instead."
help_fits es "$exe" "buscados de nuevo cada vez que se elige un puerto; --com1 y --com2 fijan un"

if [ -n "$emulator" ]; then
    out=$(LANGUAGE=es "$emulator" --bogus 2>&1)
    [[ $out == *"Pruebe «board-emulator --help»."* ]] || fail "board-emulator in Spanish: $out"
    echo "ok: board-emulator in Spanish"
    help_fits en "$emulator" "so programador can be tried without hardware."
    help_fits es "$emulator" "para poder probar programador sin hardware."
    # A desktop in neither language gets English, plurals of counts included
    # (the demo's boards come with the emulator).
    out=$(printf 'Com1\n' | env -u LC_ALL -u LC_MESSAGES LANGUAGE=de LANG=de_DE.UTF-8 "$exe" --demo --quiet --run -) \
        || fail "a session under LANGUAGE=de failed: $out"
    [[ $out == *"passed; 4 exchanges in"* ]] || fail "a session under LANGUAGE=de says: $out"
    echo "ok: LANGUAGE=de gets English"
fi
