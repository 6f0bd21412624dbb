<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and exit.</source>
        <translation>Muestra esta ayuda y termina.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Muestra la versión y termina.</translation>
    </message>
    <message>
        <source>%1: %2
Try &apos;%1 --help&apos;.</source>
        <translation>%1: %2
Pruebe «%1 --help».</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>argumento inesperado «%1»</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>%1

This system shows no serial ports.

%2</source>
        <translation>%1

Este sistema no muestra ningún puerto serie.

%2</translation>
    </message>
    <message>
        <source>%1

Serial ports on this system:
%2

%3</source>
        <translation>%1

Puertos serie de este sistema:
%2

%3</translation>
    </message>
    <message>
        <source>To use another device, start the panel with one of:
    programador --com1 DEVICE
    programador --com2 DEVICE</source>
        <translation>Para usar otro dispositivo, inicie el panel con una de estas órdenes:
    programador --com1 DISPOSITIVO
    programador --com2 DISPOSITIVO</translation>
    </message>
    <message>
        <source>From the menu: make your own copy of its menu entry in
    ~/.local/share/applications
with the option on its Exec line (man programador shows how).</source>
        <translation>Desde el menú: haga una copia propia de su entrada de menú en
    ~/.local/share/applications
con la opción en su línea Exec (man programador explica cómo).</translation>
    </message>
    <message>
        <source>To use another port, start the panel from a command prompt with one of:
    programador --com1 COM3
    programador --com2 COM3
or add the option to the Target of a shortcut to programador.exe.</source>
        <translation>Para usar otro puerto, inicie el panel desde un símbolo del sistema con una de estas órdenes:
    programador --com1 COM3
    programador --com2 COM3
o añada la opción al Destino de un acceso directo a programador.exe.</translation>
    </message>
    <message>
        <source>%1 %2

A control panel for the programmer board on a serial line.

Free software under the MIT licence.</source>
        <translation>%1 %2

Un panel de control para la placa programadora en una línea serie.

Software libre bajo la licencia MIT.</translation>
    </message>
</context>
<context>
    <name>Form1Layout</name>
    <message>
        <source>Serial port of the board</source>
        <translation>Puerto serie de la placa</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Puerto</translation>
    </message>
</context>
<context>
    <name>PortAdvice</name>
    <message>
        <source>The device belongs to the group %1: join it with
    sudo usermod -aG %1 $USER
then log out and in again.</source>
        <translation>El dispositivo pertenece al grupo %1: únase a él con
    sudo usermod -aG %1 $USER
y vuelva a iniciar sesión.</translation>
    </message>
    <message>
        <source>Only root may open it, so joining a group does not help.</source>
        <translation>Solo root puede abrirlo, así que unirse a un grupo no sirve de nada.</translation>
    </message>
    <message>
        <source>Its group, %1, may not open it either, so joining a group does not help.</source>
        <translation>Su grupo, %1, tampoco puede abrirlo, así que unirse a un grupo no sirve de nada.</translation>
    </message>
    <message>
        <source>A udev rule with TAG+=&quot;uaccess&quot; lets the user at the desktop open it; man programador shows one. Or ask whoever runs this computer.</source>
        <translation>Una regla de udev con TAG+=&quot;uaccess&quot; permite abrirlo a quien esté ante el escritorio; man programador muestra una. O consulte a quien administre este equipo.</translation>
    </message>
    <message>
        <source>The port was closed; pick a port to connect again.</source>
        <translation>Se ha cerrado el puerto; elija un puerto para volver a conectar.</translation>
    </message>
    <message>
        <source>Device Manager lists this computer&apos;s ports under &quot;Ports (COM &amp; LPT)&quot;. A USB adapter&apos;s port appears there, with its COM number, once the adapter is plugged in and its driver is installed.</source>
        <translation>El Administrador de dispositivos muestra los puertos de este equipo en «Puertos (COM y LPT)». El puerto de un adaptador USB aparece allí, con su número COM, una vez conectado el adaptador e instalado su controlador.</translation>
    </message>
    <message>
        <source>If the port is on a USB adapter, unplug the adapter and plug it in again; if that does not help, install its maker&apos;s driver.</source>
        <translation>Si el puerto está en un adaptador USB, desconecte el adaptador y vuelva a conectarlo; si no sirve, instale el controlador de su fabricante.</translation>
    </message>
    <message>
        <source>Close that program and pick the port again.</source>
        <translation>Cierre ese programa y vuelva a elegir el puerto.</translation>
    </message>
</context>
<context>
    <name>ProgramModel</name>
    <message>
        <source>on</source>
        <translation>encendido</translation>
    </message>
    <message>
        <source>off</source>
        <translation>apagado</translation>
    </message>
    <message>
        <source>left as the board has it</source>
        <translation>como lo tenga la placa</translation>
    </message>
    <message>
        <source>%1, confirmed</source>
        <translation>%1, confirmado</translation>
    </message>
    <message>
        <source>Minute %1, bit %2: %3</source>
        <translation>Minuto %1, bit %2: %3</translation>
    </message>
    <message>
        <source>Minute %1</source>
        <translation>Minuto %1</translation>
    </message>
    <message>
        <source>Bit %1</source>
        <translation>Bit %1</translation>
    </message>
</context>
<context>
    <name>ProgramWindow</name>
    <message>
        <source>Board programs (*.txt);;All files (*)</source>
        <translation>Programas de placa (*.txt);;Todos los archivos (*)</translation>
    </message>
    <message>
        <source>Board program</source>
        <translation>Programa de la placa</translation>
    </message>
    <message>
        <source>A row per minute, a column per bit. Space toggles a cell, Shift+Space its minute, Ctrl+Space its bit, Delete leaves it as the board has it.</source>
        <translation>Una fila por minuto, una columna por bit. Espacio cambia una celda, Mayús+Espacio su minuto, Ctrl+Espacio su bit, Supr la deja como la tenga la placa.</translation>
    </message>
    <message>
        <source>&amp;Start at the end</source>
        <translation>&amp;Start al final</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>De&amp;tener</translation>
    </message>
    <message>
        <source>Paint</source>
        <translation>Pintar</translation>
    </message>
    <message>
        <source>Leave as the board has it</source>
        <translation>Dejar como la tenga la placa</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modo</translation>
    </message>
    <message>
        <source>Start at the end</source>
        <translation>Start al final</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Nuevo</translation>
    </message>
    <message>
        <source>New program</source>
        <translation>Programa nuevo</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Abrir...</translation>
    </message>
    <message>
        <source>Open a board program</source>
        <translation>Abrir un programa de placa</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Guardar &amp;como...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rehacer</translation>
    </message>
    <message>
        <source>Toggle</source>
        <translation>Cambiar</translation>
    </message>
    <message>
        <source>Which port is the board on?</source>
        <translation>¿En qué puerto está la placa?</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Puerto</translation>
    </message>
    <message>
        <source>The program cannot be sent: line %1, column %2: %3</source>
        <translation>El programa no se puede enviar: línea %1, columna %2: %3</translation>
    </message>
    <message>
        <source>Sent: the board holds the program.</source>
        <translation>Enviado: la placa tiene el programa.</translation>
    </message>
    <message>
        <source>the panel was closed</source>
        <translation>se cerró el panel</translation>
    </message>
    <message>
        <source>By hand in the panel</source>
        <translation>A mano en el panel</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>No se puede abrir %1: %2</translation>
    </message>
    <message>
        <source>The program was not saved to %1: %2. It is still here, unsaved.</source>
        <translation>El programa no se guardó en %1: %2. Sigue aquí, sin guardar.</translation>
    </message>
    <message>
        <source>Save the board program</source>
        <translation>Guardar el programa de la placa</translation>
    </message>
    <message>
        <source>The program has changes that are not saved.</source>
        <translation>El programa tiene cambios sin guardar.</translation>
    </message>
    <message>
        <source>no port picked</source>
        <translation>ningún puerto elegido</translation>
    </message>
    <message>
        <source>Send the program to the board (Ctrl+Enter)</source>
        <translation>Enviar el programa a la placa (Ctrl+Intro)</translation>
    </message>
</context>
<context>
    <name>QtSerialChannel</name>
    <message>
        <source>Cannot open %1: this system lists no serial port for it.</source>
        <translation>No se puede abrir %1: el sistema no muestra ningún puerto serie que le corresponda.</translation>
    </message>
    <message>
        <source>Cannot open %1 (%2): %3.</source>
        <translation>No se puede abrir %1 (%2): %3.</translation>
    </message>
    <message>
        <source>process %1 holds its lock</source>
        <translation>el proceso %1 lo tiene bloqueado</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permiso denegado</translation>
    </message>
    <message>
        <source>there is no such device</source>
        <translation>no existe ese dispositivo</translation>
    </message>
    <message>
        <source>the device is busy or locked by another program (%1)</source>
        <translation>el dispositivo está ocupado o bloqueado por otro programa (%1)</translation>
    </message>
    <message>
        <source>Lost the connection on %1 (%2): the device went away.</source>
        <translation>Se ha perdido la conexión en %1 (%2): el dispositivo ha desaparecido.</translation>
    </message>
    <message>
        <source>Lost the connection on %1 (%2): the device went away (%3).</source>
        <translation>Se ha perdido la conexión en %1 (%2): el dispositivo ha desaparecido (%3).</translation>
    </message>
</context>
<context>
    <name>ReplyCheck</name>
    <message>
        <source>no answer</source>
        <translation>sin respuesta</translation>
    </message>
    <message>
        <source>status code &quot;%1&quot; is not one of %2</source>
        <translation>el código de estado «%1» no es ninguno de %2</translation>
    </message>
    <message>
        <source>minute</source>
        <translation>el minuto</translation>
    </message>
    <message>
        <source>bit</source>
        <translation>el bit</translation>
    </message>
    <message>
        <source>mode</source>
        <translation>el modo</translation>
    </message>
    <message>
        <source>asked %1 %2, the board says &quot;%3&quot;</source>
        <translation>se pidió %1 %2 y la placa dice «%3»</translation>
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
    <name>SessionConsole</name>
    <message>
        <source>ok</source>
        <translation>correcto</translation>
    </message>
    <message>
        <source>%1, sending it again</source>
        <translation>%1; se vuelve a enviar</translation>
    </message>
    <message>
        <source>FAILED: %1</source>
        <translation>FALLO: %1</translation>
    </message>
    <message>
        <source>%1  line %2  %3  %4  %5  %6</source>
        <translation>%1  línea %2  %3  %4  %5  %6</translation>
    </message>
    <message>
        <source>step %1 of %2, about %3 s left</source>
        <translation>paso %1 de %2, quedan unos %3 s</translation>
    </message>
    <message>
        <source>line %1 (%2)</source>
        <translation>la línea %1 (%2)</translation>
    </message>
    <message>
        <source>Failed at %1: %2. Sent %3, the board answered %4. Nothing more was sent; the port is closed.</source>
        <translation>Fallo en %1: %2. Se envió %3 y la placa respondió %4. No se ha enviado nada más; el puerto está cerrado.</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>nada</translation>
    </message>
    <message>
        <source>Stopped at %1: %2 Nothing more was sent; the port is closed.</source>
        <translation>Detenido en %1: %2 No se ha enviado nada más; el puerto está cerrado.</translation>
    </message>
    <message>
        <source>the end</source>
        <translation>el final</translation>
    </message>
    <message>
        <source>passed</source>
        <translation>superada</translation>
    </message>
    <message>
        <source>FAILED at %1: %2</source>
        <translation>FALLO en %1: %2</translation>
    </message>
    <message>
        <source>STOPPED at %1: %2</source>
        <translation>DETENIDA en %1: %2</translation>
    </message>
    <message>
        <source>INTERRUPTED at %1: %2</source>
        <translation>INTERRUMPIDA en %1: %2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message numerus="yes">
        <source>%n exchange(s)</source>
        <translation>
            <numerusform>%n intercambio</numerusform>
            <numerusform>%n intercambios</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Interrupted at %1: %2. %3 of %n exchange(s) were done; the port is closed.</source>
        <translation>
            <numerusform>Interrumpido en %1: %2. Se hizo %3 de %n intercambio; el puerto está cerrado.</numerusform>
            <numerusform>Interrumpido en %1: %2. Se hicieron %3 de %n intercambios; el puerto está cerrado.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2, %3 in %4 s (the line&apos;s floor for them: %5 s)</source>
        <translation>%1, %2, %3 en %4 s (el mínimo de la línea para ellos: %5 s)</translation>
    </message>
    <message>
        <source>%1, %2, %3 in %4 s (the protocol&apos;s floor for them: %5 s)</source>
        <translation>%1, %2, %3 en %4 s (el mínimo del protocolo para ellos: %5 s)</translation>
    </message>
    <message numerus="yes">
        <source>%n retry(ies)</source>
        <translation>
            <numerusform>%n reintento</numerusform>
            <numerusform>%n reintentos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failure(s)</source>
        <translation>
            <numerusform>%n fallo</numerusform>
            <numerusform>%n fallos</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2; %3 in %4 s</source>
        <translation>%1: %2; %3 en %4 s</translation>
    </message>
</context>
<context>
    <name>SessionFile</name>
    <message>
        <source>expected one of: Com1, Com2, Min, Bit, Ejecutar, Conectar, Minutos, Bit/Min, Programar, Start, expect (or minute, bit, mode, connect, erase-minute, erase-cell, program, start)</source>
        <translation>se esperaba uno de: Com1, Com2, Min, Bit, Ejecutar, Conectar, Minutos, Bit/Min, Programar, Start, expect (o minute, bit, mode, connect, erase-minute, erase-cell, program, start)</translation>
    </message>
    <message>
        <source>the file is larger than 1 MiB</source>
        <translation>el archivo ocupa más de 1 MiB</translation>
    </message>
    <message>
        <source>not a text file: byte 0x%1</source>
        <translation>no es un archivo de texto: byte 0x%1</translation>
    </message>
    <message>
        <source>the line is longer than %1 characters</source>
        <translation>la línea tiene más de %1 caracteres</translation>
    </message>
    <message>
        <source>no steps: the file holds only comments and blank lines</source>
        <translation>no hay pasos: el archivo solo tiene comentarios y líneas en blanco</translation>
    </message>
    <message>
        <source>a bit from 0 to 7</source>
        <translation>un bit del 0 al 7</translation>
    </message>
    <message>
        <source>unknown step &apos;%1&apos;; %2</source>
        <translation>paso desconocido «%1»; %2</translation>
    </message>
    <message>
        <source>unexpected &apos;%1&apos; after %2; expected %3</source>
        <translation>«%1» sobra después de %2; se esperaba %3</translation>
    </message>
    <message>
        <source>the end of the line</source>
        <translation>el final de la línea</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 necesita %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not %2</source>
        <translation>«%1» no es %2</translation>
    </message>
    <message>
        <source>%1 comes before any port; expected Com1 or Com2 first</source>
        <translation>%1 va antes de ningún puerto; se esperaba antes Com1 o Com2</translation>
    </message>
    <message>
        <source>a minute from 1 to 10</source>
        <translation>un minuto del 1 al 10</translation>
    </message>
    <message>
        <source>Bits or the end of the line</source>
        <translation>Bits o el final de la línea</translation>
    </message>
    <message>
        <source>a mode: Una or Sec. (once or sequence)</source>
        <translation>un modo: Una o Sec. (once o sequence)</translation>
    </message>
    <message>
        <source>status codes of two characters, such as OK, or any</source>
        <translation>códigos de estado de dos caracteres, como OK, o any</translation>
    </message>
    <message>
        <source>%1: and %2 more</source>
        <translation>%1: y %2 más</translation>
    </message>
</context>
<context>
    <name>board-emulator</name>
    <message>
        <source>Emulates the programmer board on a pseudo-terminal so programador can be tried without hardware.</source>
        <translation>Emula la placa programadora en un pseudoterminal para poder probar programador sin hardware.</translation>
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
    <message>
        <source>--delay wants a whole number of milliseconds, not &apos;%1&apos;</source>
        <translation>--delay necesita un número entero de milisegundos, no «%1»</translation>
    </message>
    <message>
        <source>The board held:</source>
        <translation>La placa tenía:</translation>
    </message>
</context>
<context>
    <name>grid</name>
    <message>
        <source>mode: %1</source>
        <translation>modo: %1</translation>
    </message>
    <message>
        <source>start: yes</source>
        <translation>start: sí</translation>
    </message>
    <message>
        <source>start: no</source>
        <translation>start: no</translation>
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
    <message>
        <source>%1: there is no Qt platform plugin &quot;%2&quot;. The ones installed are: %3.</source>
        <translation>%1: no hay ningún complemento de plataforma de Qt «%2». Los instalados son: %3.</translation>
    </message>
    <message>
        <source>%1 needs a device name</source>
        <translation>%1 necesita el nombre de un dispositivo</translation>
    </message>
    <message>
        <source>Control panel for a minute/bit programmer board on a serial line (2400 baud, 8N1).

Com1 and Com2 are the ports COM1 and COM2 (see --list-ports); --com1 and --com2 put another port behind them, such as COM3. Qt&apos;s own options, such as -style, are accepted too.</source>
        <translation>Panel de control para una placa programadora de minutos y bits en una línea serie (2400 baudios, 8N1).

Com1 y Com2 son los puertos COM1 y COM2 (véase --list-ports); --com1 y --com2 ponen otro puerto en su lugar, como COM3. También se aceptan las opciones propias de Qt, como -style.</translation>
    </message>
    <message>
        <source>Carry out the steps of a session file (- for standard input) without a window, checking every reply, and exit.</source>
        <translation>Lleva a cabo los pasos de un archivo de sesión (- para la entrada estándar) sin ventana, comprobando cada respuesta, y termina.</translation>
    </message>
    <message>
        <source>file</source>
        <comment>value of --run in --help</comment>
        <translation>archivo</translation>
    </message>
    <message>
        <source>With --run: send a command that got no answer again, up to n times (default 0).</source>
        <translation>Con --run: vuelve a enviar una orden que no tuvo respuesta, hasta n veces (por omisión 0).</translation>
    </message>
    <message>
        <source>With --run: write a record of every exchange to this file (CSV).</source>
        <translation>Con --run: escribe un registro de cada intercambio en este archivo (CSV).</translation>
    </message>
    <message>
        <source>--run needs a file, or - for standard input</source>
        <translation>--run necesita un archivo, o - para la entrada estándar</translation>
    </message>
    <message>
        <source>--%1 goes with --run</source>
        <translation>--%1 va con --run</translation>
    </message>
    <message>
        <source>--report needs a file name</source>
        <translation>--report necesita un nombre de archivo</translation>
    </message>
    <message>
        <source>--retries wants a whole number from 0 to 100, not &apos;%1&apos;</source>
        <translation>--retries espera un número entero del 0 al 100, no «%1»</translation>
    </message>
    <message>
        <source>Print what the steps of a session file (- for standard input) leave on a board, minute by minute, and exit.</source>
        <translation>Muestra lo que los pasos de un archivo de sesión (- para la entrada estándar) dejan en una placa, minuto a minuto, y termina.</translation>
    </message>
    <message>
        <source>--show needs a file, or - for standard input</source>
        <translation>--show necesita un archivo, o - para la entrada estándar</translation>
    </message>
    <message>
        <source>--show and --%1 do not go together</source>
        <translation>--show y --%1 no van juntas</translation>
    </message>
    <message>
        <source>file</source>
        <translation>archivo</translation>
    </message>
    <message>
        <source>A board program (a session file) to open in the program window.</source>
        <translation>Un programa de placa (un archivo de sesión) que abrir en la ventana del programa.</translation>
    </message>
    <message>
        <source>[file]</source>
        <translation>[archivo]</translation>
    </message>
    <message>
        <source>a file to open goes with the window, not with --%1</source>
        <translation>un archivo que abrir va con la ventana, no con --%1</translation>
    </message>
    <message>
        <source>With --run: window (the default) waits for each reply as the window does; line sends the next command as soon as a whole reply is in.</source>
        <translation>Con --run: window (por omisión) espera como la ventana; line envía la orden siguiente en cuanto llega una respuesta entera.</translation>
    </message>
    <message>
        <source>pace</source>
        <comment>value of --pace in --help</comment>
        <translation>ritmo</translation>
    </message>
    <message>
        <source>With --run: no line per exchange and no progress, only one line at the end naming the port, its device and the verdict.</source>
        <translation>Con --run: sin una línea por intercambio ni progreso, solo una línea al final que nombra el puerto, su dispositivo y el veredicto.</translation>
    </message>
    <message>
        <source>--pace wants window or line, not &apos;%1&apos;</source>
        <translation>--pace espera window o line, no «%1»</translation>
    </message>
</context>
<context>
    <name>session</name>
    <message>
        <source>standard input</source>
        <translation>la entrada estándar</translation>
    </message>
    <message>
        <source>%1: cannot read %2: %3</source>
        <translation>%1: no se puede leer %2: %3</translation>
    </message>
    <message>
        <source>cannot write the report %1: %2.</source>
        <translation>no se puede escribir el registro %1: %2.</translation>
    </message>
    <message>
        <source>told to stop</source>
        <translation>se pidió que parara</translation>
    </message>
    <message>
        <source>whoever read its output has gone</source>
        <translation>se fue quien leía su salida</translation>
    </message>
</context>
</TS>
