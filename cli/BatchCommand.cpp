#include <cstdio>

#include "cli/Commands.h"
#include "cli/ConsoleReporter.h"
#include "engine/BatchPlan.h"
#include "engine/BatchSession.h"
#include "settings/CompressionMethod.h"

namespace pw::cli {

int RunBatchCommand(const CliOptions& options, SignalWatcher& signals)
{
    const char* operation = options.command == "compress" ? kOperationCompress
                            : options.command == "merge"  ? kOperationMerge
                                                          : kOperationSplit;
    BatchSettingsOverrides overrides;
    if (options.method)
        overrides.compressMethod = FindCompressionMethod(*options.method)->index;
    overrides.useCompression = options.useCompression;
    overrides.namingRule = options.name;

    BatchSession& session = BatchSession::Instance();
    // As a batch button does: whatever runs is stopped first.
    session.Stop();
    session.SetCurrentOperation(operation);
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());

    BatchPlan plan = PlanBatch(operation, options.files, options.out, overrides);
    // A stop asked for while the plan was made: nothing is started.
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    if (!plan.ok) {
        std::fprintf(stderr, "pagewright-batch: %s\n", plan.error.c_str());
        return kExitFailure;
    }
    ConsoleReporter reporter(plan.job.sources, stdout, stderr, IsTerminal(stderr));
    if (!session.Start(std::move(plan.job), reporter)) {
        std::fprintf(stderr, "pagewright-batch: the batch could not be started\n");
        return kExitFailure;
    }
    // After the start, so that a signal that came in between stops the
    // worker at once (the action runs here then).
    signals.SetAction([&session] { session.Stop(); });
    session.WaitUntilIdle();
    signals.SetAction(nullptr);
    reporter.Finish();

    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    return reporter.Failed() == 0 && reporter.Succeeded() == static_cast<int>(options.files.size())
               ? kExitSuccess
               : kExitFailure;
}

}  // namespace pw::cli
