#!/usr/bin/env bash
# Runs a Windows program of this build under Wine, in the build's own Wine
# prefix, with Qt's and MinGW's DLLs on its path, on a virtual X server when
# there is no display; its exit code is the program's.
#   run_under_wine.sh WINE64 PREFIX DLL_DIRS program.exe [args...]
#   run_under_wine.sh WINE64 PREFIX DLL_DIRS --fresh-prefix
# DLL_DIRS is a colon-separated list of Unix folders.
set -euo pipefail
if [ -z "${DISPLAY:-}" ] && [ "${4:-}" != --fresh-prefix ]; then
    exec xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$@"
fi
wine64=$1 prefix=$2 dll_dirs=$3
shift 3

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts, and no menu entries on the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

if [ "${1:-}" = --fresh-prefix ]; then
    # Each test run starts from a new prefix: nothing left from the last one.
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
    "$wine64" wineboot --init
    # Wine hands no QT_* variable to Windows programs: what the tests need from
    # Qt goes in the prefix's own environment. Qt Test and qDebug then write to
    # standard output and error, not to the debugger.
    "$wine64" reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /t REG_SZ /d 1 /f >/dev/null
    # Something behind COM1 for the port list, whatever this machine has; no COM2.
    "$wine64" reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d /dev/null /f >/dev/null
    "$wine64" reg add 'HKLM\Software\Wine\Ports' /v COM2 /t REG_SZ /d "" /f >/dev/null
    # Wine maps its ports when it starts.
    wineserver -k
    wineserver -w
    exit 0
fi

# Wine reads Windows paths: Z: is the Unix root.
winepath=
IFS=: read -r -a dirs <<<"$dll_dirs"
for d in "${dirs[@]}"; do
    winepath+="Z:${d//\//\\};"
done
export WINEPATH=$winepath
rc=0
"$wine64" "$@" || rc=$?
# Wine's own processes end with the display they were started on.
wineserver -w
exit "$rc"
