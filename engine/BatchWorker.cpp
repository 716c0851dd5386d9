#include "engine/BatchWorker.h"

#include <unistd.h>

#include <exception>
#include <optional>

#include "engine/AppendRollback.h"
#include "engine/PageFileCheckpoint.h"

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

bool RunEntry(Operation operation, const BatchJob& job, size_t i, BatchOperations& operations,
              StopSignal* stop, ToolOutcome* outcome)
{
    switch (operation) {
    case Operation::Compress:
        return operations.Compress(job.sources[i], job.outputs[i], job.compressionArguments[i],
                                   job.compressionMethod, stop, outcome);
    case Operation::Merge:
        return operations.Merge(job.sources[i], job.outputs[0], job.compressionArguments[i],
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

    if (operation == Operation::Merge && count > 0)
        ::unlink(job.outputs[0].c_str());

    for (size_t i = 0; operation != Operation::None && !host.IsStopRequested() && i < count; ++i) {
        const int index = static_cast<int>(i);
        const int progress = static_cast<int>((99 + 100 * i) / count);
        host.Notify([&] { observer.OnProgress(progress); });
        host.Notify([&] { observer.OnItemStarted(index); });

        std::optional<AppendRollback> checkpoint;
        std::optional<PageFileCheckpoint> pageFiles;
        if (operation == Operation::Merge)
            checkpoint.emplace(job.outputs[0]);
        if (operation == Operation::Split)
            pageFiles.emplace(job.outputs[i]);
        ToolOutcome outcome;
        bool ok = false;
        try {
            ok = RunEntry(operation, job, i, operations, host.ToolStopSignal(), &outcome);
        } catch (const std::exception& error) {
            outcome.reason = error.what();
        }
        if (!ok && outcome.reason.empty())
            outcome.reason = "the operation failed";
        if (!ok && checkpoint)
            checkpoint->Restore();

        const std::string status = ok ? "Success" : "Failed";
        const std::string reason = ok ? std::string() : outcome.reason;
        const bool reported = host.Notify([&] { observer.OnItemStatus(index, status, reason); });
        if (!reported && ok && checkpoint)
            checkpoint->Restore();
        if (!reported && pageFiles)
            pageFiles->RemoveNewPages();
    }
    host.Notify([&] { observer.OnItemStarted(kBatchFinished); });
}

}  // namespace pw
