#include <cstdio>

#include "cli/Commands.h"
#include "engine/ToolInvocations.h"
#include "platform/ProcessRunner.h"

namespace pw::cli {

int RunInfoCommand(const CliOptions& options, SignalWatcher& signals)
{
    signals.SetAction([] { TerminateToolProcesses(); });
    bool ranCleanly = false;
    const std::string report = RunTiffInfo(options.paths[0], nullptr, &ranCleanly);
    signals.SetAction(nullptr);
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    if (report == "ERROR") {
        std::fprintf(stderr, "pagewright-batch: no report for %s: the file is missing or not a regular file, or the tiffinfo tool is missing\n",
                     options.files[0].c_str());
        return kExitFailure;
    }
    std::fwrite(report.data(), 1, report.size(), stdout);
    const bool written = std::fflush(stdout) == 0;
    if (!ranCleanly) {
        std::fprintf(stderr, "pagewright-batch: tiffinfo failed on %s\n", options.files[0].c_str());
        return kExitFailure;
    }
    return written ? kExitSuccess : kExitFailure;
}

}  // namespace pw::cli
