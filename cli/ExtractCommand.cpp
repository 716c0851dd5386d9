#include <cstdio>

#include "cli/Commands.h"
#include "cli/ConsoleReporter.h"
#include "pages/ExtractPlan.h"
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
    const ExtractPlan plan = PlanExtract(options.out, options.files, range);
    if (!plan.ok) {
        std::fprintf(stderr, "pagewright-batch: %s\n", plan.error.c_str());
        return kExitFailure;
    }
    ConsoleReporter reporter(options.files, stdout, stderr, IsTerminal(stderr));
    ExtractControl control;
    // The failure line of a page must not come between the status lines.
    control.messages = stderr;
    control.stopRequested = [&signals] { return signals.Received() != 0; };
    const size_t count = options.files.size();
    for (size_t i = 0; i < count && signals.Received() == 0; ++i) {
        const std::string& source = options.files[i];
        const int index = static_cast<int>(i);
        reporter.OnProgress(static_cast<int>((99 + 100 * i) / count));
        reporter.OnItemStarted(index);

        if (plan.outputs[i].empty()) {
            reporter.OnItemStatus(index, "Failed", plan.refusals[i]);
        } else if (!PathExists(source)) {
            reporter.OnItemStatus(index, "Failed", "source missing");
        } else if (ExtractPages(source, plan.outputs[i], range.c_str(), control) != 1) {
            if (signals.Received() == 0)
                reporter.OnItemStatus(index, "Failed", control.reason);
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
