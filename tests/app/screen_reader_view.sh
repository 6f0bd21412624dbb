#!/usr/bin/env bash
# What a screen reader gets from the real program over the accessibility bus
# (AT-SPI). At start the status boxes read as empty, not as their captions,
# and the port list has a name and a description. After Com1 is picked on the
# emulated board, every list and status box is labelled by the caption right
# above it, a status box is named by the reply it shows, and the reply is
# told once, unasked, by the notification the "Estado" caption is.
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

"$python" - "$wid" <<'EOF'
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

wid = sys.argv[1]
failures = []

def window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "programador" and app.childCount:
            return app[0]
    return None

def labelled_by(node):
    return [r.getTarget(i) for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for i in range(r.getNTargets())]

# The controls sit in the client area under the menu bar.
def inside(node):
    for c in node:
        yield c
        if c.getRole() in (pyatspi.ROLE_FILLER, pyatspi.ROLE_PANEL):
            yield from inside(c)

def controls(win):
    lists = [c for c in inside(win) if c.getRole() == pyatspi.ROLE_COMBO_BOX]
    boxes = [c for c in inside(win) if c.getRole() == pyatspi.ROLE_LABEL and labelled_by(c)]
    return lists, boxes

def where(node):
    e = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    return e.x, e.y

# At start: nothing picked, nothing shown.
deadline = time.time() + 10
while not window() and time.time() < deadline:
    time.sleep(0.2)
win = window()
if not win:
    print("FAIL: the window is not on the bus", file=sys.stderr)
    sys.exit(1)
lists, boxes = controls(win)
for box in boxes:
    print("at start: %-9s name=%r" % (box.getRoleName(), box.name))
    if box.name.strip():
        failures.append("empty status box reads %r" % box.name)
for node in lists:
    if not labelled_by(node):
        print("at start: %-9s name=%r description=%r" % (node.getRoleName(), node.name, node.description))
        if not node.name or not node.description:
            failures.append("the port list has no name or no description before a pick")

# Pick Com1 and count what is told unasked while the four commands run.
told = []
def on_showing(event):
    if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
        told.append(event.source.name)
pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
subprocess.run(["xdotool", "key", "--window", wid, "shift+Tab"], check=True)  # round to the port list
subprocess.run(["xdotool", "key", "--window", wid, "Down"], check=True)       # picks "Com1"

# The four exchanges after the pick take about a second; allow ten for the
# first notification, then a second and a half for any more of them. (The
# boxes' names are read after the listening: the bus's cache of them does not
# change while it listens.)
deadline = time.time() + 10
def settled():
    if (told and time.time() > settled.since + 1.5) or time.time() > deadline:
        pyatspi.Registry.stop()
        return False
    if not told:
        settled.since = time.time()
    return True
settled.since = time.time()
GLib.timeout_add(200, settled)
pyatspi.Registry.start()

win = window()
lists, boxes = controls(win)
for node in lists + boxes:
    captions = labelled_by(node)
    shown = ", ".join("%s %r at %s" % (c.getRoleName(), c.name, where(c)) for c in captions)
    print("%-9s name=%-8r description=%-8r labelled-by=[%s]  at %s"
          % (node.getRoleName(), node.name, node.description, shown, where(node)))
    if not captions:
        if not node.description:
            failures.append("%r has neither a caption nor a description" % node.name)
        continue
    (cx, cy), (x, y) = where(captions[0]), where(node)
    if len(captions) != 1 or cx != x or not 0 < y - cy <= 24:
        failures.append("%r is not labelled by the caption above it" % node.name)
    if node.getRole() == pyatspi.ROLE_LABEL and node.name in ("", captions[0].name):
        failures.append("status box reads %r, not a reply" % node.name)

print("told unasked: %r" % told)
if told != ["Estado: RX OK, Min 01, Bit 0, Ejecutar Sec."]:
    failures.append("the reply to the pick is told %d times, as %r" % (len(told), told))
if len(lists) != 4 or len(boxes) != 4:
    failures.append("%d lists and %d captioned boxes, not 4 and 4" % (len(lists), len(boxes)))
for f in failures:
    print("FAIL:", f, file=sys.stderr)
sys.exit(1 if failures else 0)
EOF
