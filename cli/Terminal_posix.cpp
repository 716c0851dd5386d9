#include "cli/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/ConsoleReporter.h"

namespace pw::cli {

int TerminalWidth(FILE* stream)
{
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col >= 20)
        return size.ws_col;
    return 80;
}

bool IsTerminal(FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

}  // namespace pw::cli
