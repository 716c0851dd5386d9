#include "cli/Terminal.h"

#include <io.h>
#include <windows.h>

#include "cli/ConsoleReporter.h"

namespace pw::cli {

int TerminalWidth(FILE* stream)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    if (h != INVALID_HANDLE_VALUE && ::GetConsoleScreenBufferInfo(h, &info)) {
        const int width = info.srWindow.Right - info.srWindow.Left + 1;
        if (width >= 20)
            return width;
    }
    return 80;
}

bool IsTerminal(FILE* stream)
{
    // A console, not a pipe or a file (the C run-time also counts NUL).
    DWORD mode = 0;
    const HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    return h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode) != 0;
}

}  // namespace pw::cli
