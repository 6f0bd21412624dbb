#include "windows_console.h"

#include <QCoreApplication>

#include <io.h>
#include <qt_windows.h>

namespace WindowsConsole {

bool reaches(FILE *stream)
{
    const int fd = _fileno(stream);
    if (fd < 0)
        return false;
    const intptr_t handle = _get_osfhandle(fd);
    if (handle == -1 || handle == -2)
        return false;
    return GetFileType(reinterpret_cast<HANDLE>(handle)) != FILE_TYPE_UNKNOWN;
}

bool writeToConsole(FILE *stream, const QString &text)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (!GetConsoleMode(handle, &mode))
        return false;
    std::fflush(stream);
    DWORD written = 0;
    WriteConsoleW(handle, text.utf16(), DWORD(text.size()), &written, nullptr);
    return true;
}

// A file or a pipe: what the user redirected the stream to.
static bool redirected(FILE *stream)
{
    if (!reaches(stream))
        return false;
    const DWORD type = GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

void attach()
{
    // A GUI program may be handed the prompt's console handles without being
    // attached to that console: what it writes, and Ctrl+C, go nowhere. So
    // it attaches, and whatever was not redirected goes to the console.
    if (!GetConsoleWindow() && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!redirected(stdout))
            std::freopen("CONOUT$", "w", stdout);
        if (!redirected(stderr))
            std::freopen("CONOUT$", "w", stderr);
    }
    // Qt sends a GUI program's messages to the debugger unless stderr is a
    // console; a file or a pipe is where the user asked to read them too.
    if (reaches(stderr))
        qputenv("QT_FORCE_STDERR_LOGGING", "1");
}

void showMessage(const QString &text, bool error)
{
    // As Qt's own command-line parser shows its messages.
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t *>(text.utf16()),
                reinterpret_cast<const wchar_t *>(QCoreApplication::applicationName().utf16()),
                MB_OK | MB_TOPMOST | MB_SETFOREGROUND | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace WindowsConsole
