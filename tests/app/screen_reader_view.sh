#!/usr/bin/env bash
# What a screen reader gets from the real program over the accessibility bus
# (AT-SPI): after Com1 is picked on the emulated board, every list and status
# box is labelled by the caption right above it, a status box is named by the
# reply it shows, and the port list is described as "Puerto".
# Prints each of them; exits 77 (skipped) when AT-SPI is not installed.
#   screen_reader_view.sh PROGRAM
set -euo pipefail

launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3   # Debian installs pyatspi for the system's Python only

if [ "${2:-}" != --inner ]; then
    for tool in dbus-run-session xvfb-run xdotool; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
    done
    [ -x "$launcher" ] || { echo "SKIP: at-spi2-core not installed"; exit 77; }
    "$python" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi not installed"; exit 77; }
    exec dbus-run-session -- xvfb-run -a -s "-screen 0 640x480x24" bash "$0" "$1" --inner
fi
exe=$1

"$launcher" --launch-immediately &
bus=$!
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$exe" --demo &
pid=$!
trap 'kill "$pid" "$bus" 2>/dev/null || true' EXIT

wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Programar en tiempo rreal$' | head -n 1) \
    || { echo "FAIL: no window appeared" >&2; exit 1; }
xdotool windowfocus --sync "$wid"
xdotool key --window "$wid" shift+Tab   # from Salir back round to the port list
xdotool key --window "$wid" Down        # picks "Com1"

"$python" - <<'EOF'
import sys
import time

import pyatspi

def window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "programador" and app.childCount:
            return app[0]
    return None

def labelled_by(node):
    return [r.getTarget(i) for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for i in range(r.getNTargets())]

def controls(win):
    lists = [c for c in win if c.getRole() == pyatspi.ROLE_COMBO_BOX]
    boxes = [c for c in win if c.getRole() == pyatspi.ROLE_LABEL and labelled_by(c)]
    return lists, boxes

# The four exchanges after the pick take about a second; allow ten.
deadline = time.time() + 10
while True:
    win = window()
    lists, boxes = controls(win) if win else ([], [])
    replied = boxes and all(b.name and b.name != labelled_by(b)[0].name for b in boxes)
    if replied or time.time() > deadline:
        break
    time.sleep(0.2)

def where(node):
    e = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    return e.x, e.y

failures = []
for node in lists + boxes:
    captions = labelled_by(node)
    shown = ", ".join("%s %r at %s" % (c.getRoleName(), c.name, where(c)) for c in captions)
    print("%-9s name=%-8r description=%-8r labelled-by=[%s]  at %s"
          % (node.getRoleName(), node.name, node.description, shown, where(node)))
    if not captions:
        if node.description != "Puerto":
            failures.append("%r has neither a caption nor a description" % node.name)
        continue
    (cx, cy), (x, y) = where(captions[0]), where(node)
    if len(captions) != 1 or cx != x or not 0 < y - cy <= 24:
        failures.append("%r is not labelled by the caption above it" % node.name)
    if node.getRole() == pyatspi.ROLE_LABEL and node.name in ("", captions[0].name):
        failures.append("status box reads %r, not a reply" % node.name)

if len(lists) != 4 or len(boxes) != 4:
    failures.append("%d lists and %d captioned boxes, not 4 and 4" % (len(lists), len(boxes)))
for f in failures:
    print("FAIL:", f, file=sys.stderr)
sys.exit(1 if failures else 0)
EOF
