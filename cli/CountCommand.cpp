#include <cstdio>

#include "cli/Commands.h"
#include "cli/ConsoleReporter.h"
#include "pages/TiffPages.h"

namespace pw::cli {

int RunCountCommand(const CliOptions& options, SignalWatcher& signals)
{
    bool allRead = true;
    for (size_t i = 0; i < options.files.size() && signals.Received() == 0; ++i) {
        const int pages = GetTiffPageCount(options.files[i]);
        allRead = allRead && pages > 0;
        std::printf("%d\t%s\n", pages, EscapeField(options.files[i]).c_str());
        std::fflush(stdout);
    }
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    return allRead ? kExitSuccess : kExitFailure;
}

}  // namespace pw::cli
