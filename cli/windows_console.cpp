#include "windows_console.h"

#include <QCoreApplication>

#include <algorithm>

#include <io.h>
#include <qt_windows.h>

namespace WindowsConsole {

namespace {

HANDLE handleOf(int fd)
{
    const intptr_t handle = fd < 0 ? -1 : _get_osfhandle(fd);
    return handle == -1 || handle == -2 ? nullptr : reinterpret_cast<HANDLE>(handle);
}

} // namespace

bool reaches(FILE *stream)
{
    const HANDLE handle = handleOf(_fileno(stream));
    return handle && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool isConsole(int fd)
{
    const HANDLE handle = handleOf(fd);
    DWORD mode = 0;
    return handle && GetConsoleMode(handle, &mode);
}

bool write(int fd, const QString &text)
{
    const HANDLE handle = handleOf(fd);
    // In pieces: a console may refuse one write of a large buffer.
    for (qsizetype at = 0; at < text.size();) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<qsizetype>(text.size() - at, 8192));
        if (!WriteConsoleW(handle, text.utf16() + at, chunk, &written, nullptr) || written == 0)
            return false;
        at += written;
    }
    return true;
}

bool writeToConsole(FILE *stream, const QString &text)
{
    const int fd = _fileno(stream);
    if (!isConsole(fd))
        return false;
    std::fflush(stream);
    // A console that takes nothing is no reason to write the text elsewhere.
    write(fd, text);
    return true;
}

// A file or a pipe: what the user redirected the stream to.
static bool redirected(FILE *stream)
{
    if (!reaches(stream))
        return false;
    const DWORD type = GetFileType(handleOf(_fileno(stream)));
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
