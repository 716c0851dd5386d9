#include <cstdio>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/ConsoleReporter.h"
#include "cli/FileRecords.h"
#include "cli/FileResults.h"
#include "engine/BatchEngine.h"
#include "engine/BatchPlan.h"
#include "engine/BatchSession.h"
#include "engine/BuiltinBatchOperations.h"
#include "engine/ParallelBatch.h"
#include "settings/CompressionMethod.h"

namespace pw::cli {
namespace {

// The closing note of the builtin engine: the files it left to the tools.
void PrintToolFallbacks(const BuiltinBatchOperations& builtin)
{
    const auto fallbacks = builtin.Fallbacks();
    if (fallbacks.empty())
        return;
    std::fprintf(stderr, "pagewright-batch: %zu file%s went through the tools instead of the builtin copy:\n",
                 fallbacks.size(), fallbacks.size() == 1 ? "" : "s");
    for (const auto& fallback : fallbacks)
        std::fprintf(stderr, "  %s: %s\n", fallback.source.c_str(), fallback.why.c_str());
}

}  // namespace

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
    if (options.engine)
        overrides.engine = BatchEngineFromText(*options.engine);

    BatchSession& session = BatchSession::Instance();
    // As a batch button does: whatever runs is stopped first.
    session.Stop();
    session.SetCurrentOperation(operation);
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());

    BatchPlan plan = PlanBatch(operation, options.paths, options.out, overrides);
    // With --trace the warning went out with the trace already.
    if (!plan.warning.empty() && !options.trace)
        std::fprintf(stderr, "pagewright-batch: %s\n", plan.warning.c_str());
    // A stop asked for while the plan was made: nothing is started.
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    if (!plan.ok) {
        std::fprintf(stderr, "pagewright-batch: %s\n", plan.error.c_str());
        return kExitFailure;
    }
    const BatchJob job = plan.job;
    ConsoleReporter reporter(options.files, stdout, stderr, IsTerminal(stderr));
    FileResults results(job.sources.size(), reporter);
    if (options.json) {
        reporter.SetLineWriter([&](int index, const std::string& status, const std::string& reason) {
            FileRecord record = BatchFileRecord(operation, job, index, status, reason, results.SecondsOf(index));
            record.file = options.files[static_cast<size_t>(index)];
            return JsonLine(record);
        });
    }
    const std::shared_ptr<BatchOperations> kept = MakeBatchOperations(plan.engine);
    BatchOperations& operations = *kept;
    const auto* builtin = dynamic_cast<const BuiltinBatchOperations*>(kept.get());

    if (options.jobs != 1 && operation != std::string(kOperationMerge)) {
        ParallelBatch batch;
        signals.SetAction([&batch] { batch.Stop(); });
        batch.Run(operation, job, results, operations, WorkerCount(options.jobs));
        signals.SetAction(nullptr);
    } else {
        if (!session.Start(std::move(plan.job), results, kept)) {
            std::fprintf(stderr, "pagewright-batch: the batch could not be started\n");
            return kExitFailure;
        }
        // After the start, so that a signal that came in between stops the
        // worker at once (the action runs here then).
        signals.SetAction([&session] { session.Stop(); });
        session.WaitUntilIdle();
        signals.SetAction(nullptr);
    }
    results.Flush();
    reporter.Finish();
    if (builtin)
        PrintToolFallbacks(*builtin);

    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    if (reporter.lines().ReportFailure(stderr))
        return kExitFailure;
    return reporter.Failed() == 0 && reporter.Succeeded() == static_cast<int>(options.files.size())
               ? kExitSuccess
               : kExitFailure;
}

}  // namespace pw::cli
