<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>Form1</name>
    <message>
        <source>%1

This system shows no serial ports.

To use another device, start the panel with --com1 DEVICE or --com2 DEVICE.</source>
        <translation>%1

Este sistema no muestra ningún puerto serie.

Para usar otro dispositivo, inicie el panel con --com1 DISPOSITIVO o --com2 DISPOSITIVO.</translation>
    </message>
    <message>
        <source>%1

Serial ports on this system:
%2

To use another device, start the panel with --com1 DEVICE or --com2 DEVICE.</source>
        <translation>%1

Puertos serie de este sistema:
%2

Para usar otro dispositivo, inicie el panel con --com1 DISPOSITIVO o --com2 DISPOSITIVO.</translation>
    </message>
</context>
<context>
    <name>QtSerialChannel</name>
    <message>
        <source>Cannot open %1: this system lists no serial port for it.</source>
        <translation>No se puede abrir %1: el sistema no muestra ningún puerto serie que le corresponda.</translation>
    </message>
    <message>
        <source>Cannot open %1 (%2): there is no such device (%3).</source>
        <translation>No se puede abrir %1 (%2): no existe ese dispositivo (%3).</translation>
    </message>
    <message>
        <source>Cannot open %1 (%2): %3.</source>
        <translation>No se puede abrir %1 (%2): %3.</translation>
    </message>
    <message>
        <source>Cannot open %1 (%2): permission denied (%3). Your user may need to join the group that owns the device, %4: sudo usermod -aG %4 $USER, then log in again.</source>
        <translation>No se puede abrir %1 (%2): permiso denegado (%3). Puede que su usuario tenga que pertenecer al grupo propietario del dispositivo, %4: sudo usermod -aG %4 $USER, y volver a iniciar sesión.</translation>
    </message>
    <message>
        <source>Cannot open %1 (%2): the device is busy or locked by another program (%3). Close that program and pick the port again.</source>
        <translation>No se puede abrir %1 (%2): el dispositivo está ocupado o bloqueado por otro programa (%3). Cierre ese programa y vuelva a elegir el puerto.</translation>
    </message>
    <message>
        <source>Lost the connection on %1 (%2): the device went away (%3). The port was closed; pick a port to connect again.</source>
        <translation>Se ha perdido la conexión en %1 (%2): el dispositivo ha desaparecido (%3). Se ha cerrado el puerto; elija un puerto para volver a conectar.</translation>
    </message>
    <message>
        <source>locked by process %1</source>
        <translation>bloqueado por el proceso %1</translation>
    </message>
</context>
<context>
    <name>SerialChannel</name>
    <message>
        <source>No port is open: pick Com1 or Com2 first.</source>
        <translation>No hay ningún puerto abierto: elija primero Com1 o Com2.</translation>
    </message>
</context>
<context>
    <name>board-emulator</name>
    <message>
        <source>Emulates the programmer board on a pseudo-terminal so programador can be tried without hardware.</source>
        <translation>Emula la placa programadora en un pseudoterminal para poder probar programador sin hardware.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Muestra esta ayuda y termina.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Muestra la versión y termina.</translation>
    </message>
    <message>
        <source>Start each answer &lt;ms&gt; milliseconds after its command (default 20).</source>
        <translation>Empieza cada respuesta &lt;ms&gt; milisegundos después de su comando (por omisión, 20).</translation>
    </message>
    <message>
        <source>Read commands but never answer.</source>
        <translation>Lee los comandos pero nunca responde.</translation>
    </message>
    <message>
        <source>Take commands and send answers at once, not at the pace of a 2400-baud line.</source>
        <translation>Recibe los comandos y envía las respuestas al instante, no al ritmo de una línea de 2400 baudios.</translation>
    </message>
    <message>
        <source>%1: %2
Try &apos;%1 --help&apos;.</source>
        <translation>%1: %2
Pruebe «%1 --help».</translation>
    </message>
    <message>
        <source>%1: unexpected argument &apos;%2&apos;
Try &apos;%1 --help&apos;.</source>
        <translation>%1: argumento inesperado «%2»
Pruebe «%1 --help».</translation>
    </message>
    <message>
        <source>%1: --delay wants a whole number of milliseconds, not &apos;%2&apos;
Try &apos;%1 --help&apos;.</source>
        <translation>%1: --delay necesita un número entero de milisegundos, no «%2»
Pruebe «%1 --help».</translation>
    </message>
    <message>
        <source>%1: cannot open a pseudo-terminal: %2</source>
        <translation>%1: no se puede abrir un pseudoterminal: %2</translation>
    </message>
    <message>
        <source>Board ready on %1</source>
        <translation>Placa lista en %1</translation>
    </message>
    <message>
        <source>Run: %1 --com1 %2</source>
        <translation>Ejecute: %1 --com1 %2</translation>
    </message>
    <message>
        <source>Commands are read but never answered.</source>
        <translation>Los comandos se leen pero nunca se responden.</translation>
    </message>
    <message>
        <source>Answers start %1 ms after each command, at the pace of a 2400-baud line.</source>
        <translation>Las respuestas empiezan %1 ms después de cada comando, al ritmo de una línea de 2400 baudios.</translation>
    </message>
    <message>
        <source>Answers go out whole, %1 ms after each command.</source>
        <translation>Las respuestas salen enteras, %1 ms después de cada comando.</translation>
    </message>
    <message>
        <source>Press Ctrl+C to stop.</source>
        <translation>Pulse Ctrl+C para terminar.</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Se ha detenido.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Control panel for a minute/bit programmer board on a serial line (2400 baud, 8N1).

Com1 and Com2 are the first and the second serial port this system lists (see --list-ports), looked up again at each port pick; --com1 and --com2 fix a device instead. Qt&apos;s own options, such as -platform and -style, are accepted too.</source>
        <translation>Panel de control para una placa programadora de minutos y bits en una línea serie (2400 baudios, 8N1).

Com1 y Com2 son el primer y el segundo puerto serie que muestra este sistema (véase --list-ports), buscados de nuevo cada vez que se elige un puerto; --com1 y --com2 fijan un dispositivo en su lugar. También se aceptan las opciones propias de Qt, como -platform y -style.</translation>
    </message>
    <message>
        <source>device</source>
        <comment>value of --com1 and --com2 in --help</comment>
        <translation>dispositivo</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Muestra esta ayuda y termina.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Muestra la versión y termina.</translation>
    </message>
    <message>
        <source>Use this device for Com1.</source>
        <translation>Usa este dispositivo para Com1.</translation>
    </message>
    <message>
        <source>Use this device for Com2.</source>
        <translation>Usa este dispositivo para Com2.</translation>
    </message>
    <message>
        <source>List this system&apos;s serial ports, marking Com1 and Com2, and exit.</source>
        <translation>Muestra los puertos serie del sistema, señalando Com1 y Com2, y termina.</translation>
    </message>
    <message>
        <source>Write every event on the serial line to standard error.</source>
        <translation>Escribe cada suceso de la línea serie en la salida de error estándar.</translation>
    </message>
    <message>
        <source>Put two emulated boards behind Com1 and Com2, to try the panel without hardware.</source>
        <translation>Pone dos placas emuladas tras Com1 y Com2, para probar el panel sin hardware.</translation>
    </message>
    <message>
        <source>%1: %2
Try &apos;%1 --help&apos;.</source>
        <translation>%1: %2
Pruebe «%1 --help».</translation>
    </message>
    <message>
        <source>%1: unexpected argument &apos;%2&apos;
Try &apos;%1 --help&apos;.</source>
        <translation>%1: argumento inesperado «%2»
Pruebe «%1 --help».</translation>
    </message>
    <message>
        <source>%1: %2 needs a device name
Try &apos;%1 --help&apos;.</source>
        <translation>%1: %2 necesita el nombre de un dispositivo
Pruebe «%1 --help».</translation>
    </message>
    <message>
        <source>No serial ports found.</source>
        <translation>No se ha encontrado ningún puerto serie.</translation>
    </message>
    <message>
        <source>%1: cannot start an emulated board: %2</source>
        <translation>%1: no se puede iniciar una placa emulada: %2</translation>
    </message>
    <message>
        <source>%1: no display to show the window on (DISPLAY is not set). Start it in a desktop session, or try the demo without one: xvfb-run -a %1 --demo</source>
        <translation>%1: no hay ninguna pantalla en la que mostrar la ventana (DISPLAY no está definida). Inícielo en una sesión de escritorio o pruebe la demostración sin ella: xvfb-run -a %1 --demo</translation>
    </message>
    <message>
        <source>%1: cannot connect to the display &quot;%2&quot;. Start it in a desktop session, or try the demo without one: xvfb-run -a %1 --demo</source>
        <translation>%1: no se puede conectar con la pantalla «%2». Inícielo en una sesión de escritorio o pruebe la demostración sin ella: xvfb-run -a %1 --demo</translation>
    </message>
</context>
</TS>
