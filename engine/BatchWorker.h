#pragma once
// The loop a batch runs on its worker thread.

#include <functional>
#include <string>

#include "engine/BatchJob.h"
#include "engine/BatchObserver.h"
#include "engine/BatchOperations.h"

namespace pw {

class StopSignal;

// What the worker needs from the batch that runs it (BatchSession).
class BatchWorkerHost {
public:
    virtual ~BatchWorkerHost() = default;
    // Also called from within a notice.
    virtual bool IsStopRequested() const = 0;
    // Makes the notice unless the stop request is set (checked atomically
    // with the setting of the request); false when the notice was dropped.
    // The notice may run after Notify has returned, on another thread: it
    // holds copies of what it uses. With wait, Notify returns once it has
    // run.
    virtual bool Notify(std::function<void()> notice, bool wait) = 0;
    // The signal the batch's tool runs are made under; may be null.
    virtual StopSignal* ToolStopSignal() = 0;
};

// Runs the batch named by operation ("Compress", "Merge" or "Split",
// compared exactly; any other text runs no entry). Before every entry the
// stop request is read; then the progress, the item-started index, the
// operation and the entry's status follow. An entry's progress and index
// are one notice, its status another; the worker goes on without waiting
// for them, and waits only for the finished notice.
// While it runs, no output takes the place of one of the job's sources
// (ProtectedFiles), except a recompressed file its own. Merge appends to a
// temporary file beside the output and takes back an append whose entry is
// not reported "Success" (a failed or stopped one); when the loop ends (also
// after a stop) with at least one "Success", that file replaces the output,
// which then holds exactly the pages of the entries reported "Success", in
// list order; with none, an old output stays untouched. Should that file
// be removed or replaced during the batch, every later entry fails, and
// every entry reported "Success" before is reported again as "Failed", as
// when the file cannot be put in place at the end. Split writes each
// entry's page files into a private folder beside its split folder, which
// takes the split folder's place once the entry succeeded (SplitStaging);
// a split whose status a stop keeps from being reported loses its page
// files again. At the end the finished notice.
void RunBatchWorker(const std::string& operation, const BatchJob& job, BatchOperations& operations,
                    BatchObserver& observer, BatchWorkerHost& host);

}  // namespace pw
