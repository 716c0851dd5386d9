#include "engine/BatchWorker.h"

#include <exception>
#include <optional>
#include <vector>

#include "engine/AppendRollback.h"
#include "engine/PageFileCheckpoint.h"
#include "platform/ReplacementFile.h"

namespace pw {
namespace {

enum class Operation { None, Compress, Merge, Split };

Operation OperationOf(const std::string& text)
{
    if (text == kOperationCompress)
        return Operation::Compress;
    if (text == kOperationMerge)
        return Operation::Merge;
    if (text == kOperationSplit)
        return Operation::Split;
    return Operation::None;
}

bool RunEntry(Operation operation, const BatchJob& job, size_t i, const std::string& mergePath,
              BatchOperations& operations, StopSignal* stop, ToolOutcome* outcome)
{
    switch (operation) {
    case Operation::Compress:
        return operations.Compress(job.sources[i], job.outputs[i], job.compressionArguments[i],
                                   job.compressionMethod, stop, outcome);
    case Operation::Merge:
        return operations.Merge(job.sources[i], mergePath, job.compressionArguments[i],
                                job.useCompression, job.compressionMethod, stop, outcome);
    case Operation::Split:
        return operations.Split(job.sources[i], job.outputs[i], stop, outcome);
    case Operation::None:
        break;
    }
    return false;
}

}  // namespace

void RunBatchWorker(const std::string& operationText, const BatchJob& job, BatchOperations& operations,
                    BatchObserver& observer, BatchWorkerHost& host)
{
    const Operation operation = OperationOf(operationText);
    size_t count = job.sources.size();
    if (job.outputs.size() < count || job.compressionArguments.size() < count ||
        (operation == Operation::Merge && job.outputs.empty()))
        count = 0;  // a malformed job runs no entry rather than read past its lists

    std::optional<ReplacementFile> merged;
    if (operation == Operation::Merge && count > 0)
        merged.emplace(job.outputs[0], ".tif");
    std::vector<int> succeeded;

    // The start of an entry (its progress and its index) and the status of
    // the entry before it go out as one notice: a front that hands notices
    // to another thread and waits for each then waits once per entry. The
    // stop request is still read between the status and the next start.
    auto startEntry = [&](size_t i) {
        observer.OnProgress(static_cast<int>((99 + 100 * i) / count));
        observer.OnItemStarted(static_cast<int>(i));
    };
    bool entryStarted = false;
    if (operation != Operation::None && count > 0 && !host.IsStopRequested())
        entryStarted = host.Notify([&] { startEntry(0); });

    for (size_t i = 0; entryStarted; ++i) {
        const int index = static_cast<int>(i);
        std::optional<AppendRollback> checkpoint;
        std::optional<PageFileCheckpoint> pageFiles;
        if (merged && merged->ok())
            checkpoint.emplace(merged->path());
        if (operation == Operation::Split)
            pageFiles.emplace(job.outputs[i]);
        ToolOutcome outcome;
        bool ok = false;
        try {
            if (merged && !merged->ok())
                outcome.reason = merged->reason();
            else
                ok = RunEntry(operation, job, i, merged ? merged->path() : std::string(), operations,
                              host.ToolStopSignal(), &outcome);
        } catch (const std::exception& error) {
            outcome.reason = error.what();
        }
        if (!ok && outcome.reason.empty())
            outcome.reason = "the operation failed";
        if (!ok && checkpoint)
            checkpoint->Restore();

        const std::string status = ok ? "Success" : "Failed";
        const std::string reason = ok ? std::string() : outcome.reason;
        entryStarted = false;
        const bool reported = host.Notify([&] {
            observer.OnItemStatus(index, status, reason);
            if (i + 1 < count && !host.IsStopRequested()) {
                startEntry(i + 1);
                entryStarted = true;
            }
        });
        if (!reported && ok && checkpoint)
            checkpoint->Restore();
        if ((!reported || !ok) && pageFiles)
            pageFiles->RemoveNewPages();
        if (reported && ok)
            succeeded.push_back(index);
    }
    // The merged file takes the output's place once a file made it in, also
    // after a stop; otherwise the old output stays as it was.
    operations.CloseOutputs();
    if (merged && !succeeded.empty() && !merged->Commit()) {
        for (const int index : succeeded)
            host.Notify([&] { observer.OnItemStatus(index, "Failed", merged->reason()); });
    }
    host.Notify([&] { observer.OnItemStarted(kBatchFinished); });
}

}  // namespace pw
