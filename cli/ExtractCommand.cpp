#include <cstdio>

#include "cli/Commands.h"
#include "cli/ConsoleReporter.h"
#include "pages/ExtractNaming.h"
#include "pages/TiffPages.h"
#include "platform/Paths.h"

namespace pw::cli {

int RunExtractCommand(const CliOptions& options, SignalWatcher& signals)
{
    if (!IsFolder(options.out)) {
        std::fprintf(stderr, "pagewright-batch: the output folder %s does not exist\n", options.out.c_str());
        return kExitFailure;
    }
    const std::string& range = *options.pages;
    ConsoleReporter reporter(options.files, stdout, stderr, IsTerminal(stderr));
    const size_t count = options.files.size();
    for (size_t i = 0; i < count && signals.Received() == 0; ++i) {
        const std::string& source = options.files[i];
        const int index = static_cast<int>(i);
        reporter.OnProgress(static_cast<int>((99 + 100 * i) / count));
        reporter.OnItemStarted(index);

        std::string reason;
        const std::string output = ExtractOutputPath(options.out, source, range, &reason);
        if (output.empty()) {
            reporter.OnItemStatus(index, "Failed", reason);
        } else if (!PathExists(source)) {
            reporter.OnItemStatus(index, "Failed", "source missing");
        } else if (ExtractPages(source, output, range.c_str()) != 1) {
            reporter.OnItemStatus(index, "Failed", "no page extracted into " + output);
        } else {
            reporter.OnItemStatus(index, "Success", std::string());
        }
    }
    reporter.OnItemStarted(-1);
    reporter.Finish();
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    return reporter.Failed() == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace pw::cli
