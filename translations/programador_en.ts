<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2
Try &apos;%1 --help&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>%1

This system shows no serial ports.

%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1

Serial ports on this system:
%2

%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To use another device, start the panel with one of:
    programador --com1 DEVICE
    programador --com2 DEVICE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From the menu: make your own copy of its menu entry in
    ~/.local/share/applications
with the option on its Exec line (man programador shows how).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To use another port, start the panel from a command prompt with one of:
    programador --com1 COM3
    programador --com2 COM3
or add the option to the Target of a shortcut to programador.exe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2

A control panel for the programmer board on a serial line.

Free software under the MIT licence.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Form1Layout</name>
    <message>
        <source>Serial port of the board</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PortAdvice</name>
    <message>
        <source>The device belongs to the group %1: join it with
    sudo usermod -aG %1 $USER
then log out and in again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only root may open it, so joining a group does not help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its group, %1, may not open it either, so joining a group does not help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A udev rule with TAG+=&quot;uaccess&quot; lets the user at the desktop open it; man programador shows one. Or ask whoever runs this computer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The port was closed; pick a port to connect again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device Manager lists this computer&apos;s ports under &quot;Ports (COM &amp; LPT)&quot;. A USB adapter&apos;s port appears there, with its COM number, once the adapter is plugged in and its driver is installed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If the port is on a USB adapter, unplug the adapter and plug it in again; if that does not help, install its maker&apos;s driver.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close that program and pick the port again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgramModel</name>
    <message>
        <source>on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>left as the board has it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, confirmed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minute %1, bit %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minute %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bit %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProgramWindow</name>
    <message>
        <source>Board programs (*.txt);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Board program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A row per minute, a column per bit. Space toggles a cell, Shift+Space its minute, Ctrl+Space its bit, Delete leaves it as the board has it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Start at the end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paint</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave as the board has it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start at the end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open a board program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Which port is the board on?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program cannot be sent: line %1, column %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sent: the board holds the program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the panel was closed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By hand in the panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program was not saved to %1: %2. It is still here, unsaved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the board program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The program has changes that are not saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no port picked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send the program to the board (Ctrl+Enter)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QtSerialChannel</name>
    <message>
        <source>Cannot open %1: this system lists no serial port for it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot open %1 (%2): %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>process %1 holds its lock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is no such device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device is busy or locked by another program (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lost the connection on %1 (%2): the device went away.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lost the connection on %1 (%2): the device went away (%3).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplyCheck</name>
    <message>
        <source>no answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>status code &quot;%1&quot; is not one of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>asked %1 %2, the board says &quot;%3&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SerialChannel</name>
    <message>
        <source>No port is open: pick Com1 or Com2 first.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SessionConsole</name>
    <message>
        <source>ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, sending it again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAILED: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1  line %2  %3  %4  %5  %6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>step %1 of %2, about %3 s left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed at %1: %2. Sent %3, the board answered %4. Nothing more was sent; the port is closed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nothing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped at %1: %2 Nothing more was sent; the port is closed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>passed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAILED at %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>STOPPED at %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>INTERRUPTED at %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n exchange(s)</source>
        <translation>
            <numerusform>%n exchange</numerusform>
            <numerusform>%n exchanges</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Interrupted at %1: %2. %3 of %n exchange(s) were done; the port is closed.</source>
        <translation>
            <numerusform>Interrupted at %1: %2. %3 of %n exchange was done; the port is closed.</numerusform>
            <numerusform>Interrupted at %1: %2. %3 of %n exchanges were done; the port is closed.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2, %3 in %4 s (the line&apos;s floor for them: %5 s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2, %3 in %4 s (the protocol&apos;s floor for them: %5 s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n retry(ies)</source>
        <translation>
            <numerusform>%n retry</numerusform>
            <numerusform>%n retries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failure(s)</source>
        <translation>
            <numerusform>%n failure</numerusform>
            <numerusform>%n failures</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2; %3 in %4 s</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SessionFile</name>
    <message>
        <source>expected one of: Com1, Com2, Min, Bit, Ejecutar, Conectar, Minutos, Bit/Min, Programar, Start, expect (or minute, bit, mode, connect, erase-minute, erase-cell, program, start)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is larger than 1 MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not a text file: byte 0x%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the line is longer than %1 characters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no steps: the file holds only comments and blank lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a bit from 0 to 7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown step &apos;%1&apos;; %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unexpected &apos;%1&apos; after %2; expected %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the end of the line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 comes before any port; expected Com1 or Com2 first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a minute from 1 to 10</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bits or the end of the line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a mode: Una or Sec. (once or sequence)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>status codes of two characters, such as OK, or any</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: and %2 more</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>board-emulator</name>
    <message>
        <source>Emulates the programmer board on a pseudo-terminal so programador can be tried without hardware.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start each answer &lt;ms&gt; milliseconds after its command (default 20).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read commands but never answer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Take commands and send answers at once, not at the pace of a 2400-baud line.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: cannot open a pseudo-terminal: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Board ready on %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run: %1 --com1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Commands are read but never answered.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Answers start %1 ms after each command, at the pace of a 2400-baud line.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Answers go out whole, %1 ms after each command.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Press Ctrl+C to stop.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--delay wants a whole number of milliseconds, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The board held:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>grid</name>
    <message>
        <source>mode: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>start: yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>start: no</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Control panel for a minute/bit programmer board on a serial line (2400 baud, 8N1).

Com1 and Com2 are the first and the second serial port this system lists (see --list-ports), looked up again at each port pick; --com1 and --com2 fix a device instead. Qt&apos;s own options, such as -platform and -style, are accepted too.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>device</source>
        <comment>value of --com1 and --com2 in --help</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use this device for Com1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use this device for Com2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List this system&apos;s serial ports, marking Com1 and Com2, and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write every event on the serial line to standard error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put two emulated boards behind Com1 and Com2, to try the panel without hardware.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No serial ports found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: cannot start an emulated board: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: no display to show the window on (DISPLAY is not set). Start it in a desktop session, or try the demo without one: xvfb-run -a %1 --demo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: cannot connect to the display &quot;%2&quot;. Start it in a desktop session, or try the demo without one: xvfb-run -a %1 --demo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: there is no Qt platform plugin &quot;%2&quot;. The ones installed are: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 needs a device name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Control panel for a minute/bit programmer board on a serial line (2400 baud, 8N1).

Com1 and Com2 are the ports COM1 and COM2 (see --list-ports); --com1 and --com2 put another port behind them, such as COM3. Qt&apos;s own options, such as -style, are accepted too.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Carry out the steps of a session file (- for standard input) without a window, checking every reply, and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file</source>
        <comment>value of --run in --help</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --run: send a command that got no answer again, up to n times (default 0).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --run: write a record of every exchange to this file (CSV).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--run needs a file, or - for standard input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--%1 goes with --run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--report needs a file name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--retries wants a whole number from 0 to 100, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print what the steps of a session file (- for standard input) leave on a board, minute by minute, and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--show needs a file, or - for standard input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--show and --%1 do not go together</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A board program (a session file) to open in the program window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[file]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a file to open goes with the window, not with --%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --run: window (the default) waits for each reply as the window does; line sends the next command as soon as a whole reply is in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pace</source>
        <comment>value of --pace in --help</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>With --run: no line per exchange and no progress, only one line at the end naming the port, its device and the verdict.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--pace wants window or line, not &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>session</name>
    <message>
        <source>standard input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: cannot read %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot write the report %1: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>told to stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>whoever read its output has gone</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
