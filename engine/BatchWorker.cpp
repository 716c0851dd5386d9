#include "engine/BatchWorker.h"

#include <exception>
#include <optional>
#include <vector>

#include "engine/AppendRollback.h"
#include "engine/SplitStaging.h"
#include "platform/ProtectedFiles.h"
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

// output: what the entry writes - its destination, the merged file, or the
// split's staging path.
bool RunEntry(Operation operation, const BatchJob& job, size_t i, const std::string& output,
              BatchOperations& operations, StopSignal* stop, ToolOutcome* outcome)
{
    switch (operation) {
    case Operation::Compress:
        return operations.Compress(job.sources[i], output, job.compressionArguments[i], job.compressionMethod, stop,
                                   outcome);
    case Operation::Merge:
        return operations.Merge(job.sources[i], output, job.compressionArguments[i], job.useCompression,
                                job.compressionMethod, stop, outcome);
    case Operation::Split:
        return operations.Split(job.sources[i], output, stop, outcome);
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

    // Only a recompress may put its output in place of its own source.
    const ProtectedFiles sources(job.sources, operation == Operation::Compress ? job.outputs
                                                                              : std::vector<std::string>());
    std::optional<ReplacementFile> merged;
    if (operation == Operation::Merge && count > 0)
        merged.emplace(job.outputs[0], ".tif");
    std::vector<int> succeeded;

    // The pages merged so far are in the one file beside the output; once it
    // is gone (its folder removed, say) they are lost, so is every entry
    // reported "Success" before, and the output is left as it was.
    std::string mergedLost;
    auto mergedIntact = [&] {
        if (merged && merged->ok() && mergedLost.empty() && !merged->IsIntact())
            mergedLost = "the file being merged beside " + job.outputs[0] + " was removed or replaced";
        return mergedLost.empty();
    };
    auto failSucceeded = [&](const std::string& reason) {
        for (const int index : succeeded)
            host.Notify([&observer, index, reason] { observer.OnItemStatus(index, "Failed", reason); }, false);
        succeeded.clear();
    };

    // The notices go out without the worker waiting for them: a front that
    // hands them to another thread keeps them in order, and a stop delivers
    // every one made before it.
    auto startEntry = [&](size_t i) {
        const int position = static_cast<int>((99 + 100 * i) / count);
        const int index = static_cast<int>(i);
        return host.Notify(
            [&observer, position, index] {
                observer.OnProgress(position);
                observer.OnItemStarted(index);
            },
            false);
    };
    bool entryStarted = operation != Operation::None && count > 0 && !host.IsStopRequested() && startEntry(0);

    size_t ran = 0;  // entries begun
    for (size_t i = 0; entryStarted; ++i) {
        ran = i + 1;
        const int index = static_cast<int>(i);
        std::optional<AppendRollback> checkpoint;
        std::optional<SplitStaging> staging;
        if (merged && merged->ok())
            checkpoint.emplace(merged->path());
        if (operation == Operation::Split)
            staging.emplace(job.outputs[i]);
        const std::string output = merged    ? merged->path()
                                   : staging ? staging->output()
                                             : job.outputs[i];
        ToolOutcome outcome;
        bool ok = false;
        try {
            if (merged && !merged->ok())
                outcome.reason = merged->reason();
            else if (staging && !staging->ok())
                outcome.reason = staging->reason();
            else if (!mergedIntact())
                outcome.reason = mergedLost;
            else
                ok = RunEntry(operation, job, i, output, operations, host.ToolStopSignal(), &outcome);
        } catch (const std::exception& error) {
            outcome.reason = error.what();
        }
        if (ok && !mergedIntact()) {
            ok = false;
            outcome.reason = mergedLost;
        }
        if (ok && staging && !staging->Commit()) {
            ok = false;
            outcome.reason = staging->reason();
        }
        if (!ok && outcome.reason.empty())
            outcome.reason = "the operation failed";
        if (!ok && checkpoint)
            checkpoint->Restore();

        const std::string status = ok ? "Success" : "Failed";
        const std::string reason = ok ? std::string() : outcome.reason;
        const bool reported = host.Notify(
            [&observer, index, status, reason] { observer.OnItemStatus(index, status, reason); }, false);
        if (!reported && ok && checkpoint)
            checkpoint->Restore();
        if (!reported && ok && staging)
            staging->TakeBack();
        if (reported && ok)
            succeeded.push_back(index);
        if (!mergedLost.empty())
            failSucceeded(mergedLost);
        entryStarted = reported && i + 1 < count && startEntry(i + 1);
    }
    // The batch made every entry's split folder before it began: those of
    // entries a stop kept from running go again.
    if (operation == Operation::Split)
        for (size_t i = ran; i < count; ++i)
            SplitStaging::RemoveUnusedSplitFolder(job.outputs[i]);
    // The merged file takes the output's place once a file made it in, also
    // after a stop; otherwise the old output stays as it was.
    operations.CloseOutputs();
    if (merged && !succeeded.empty() && (!mergedIntact() || !merged->Commit()))
        failSucceeded(mergedLost.empty() ? merged->reason() : mergedLost);
    // Waited for: the batch has ended only once its front has seen it all.
    host.Notify([&observer] { observer.OnItemStarted(kBatchFinished); }, true);
}

}  // namespace pw
