#pragma once
// A batch of independent files (Compress, Split) run by several workers at
// once, each file through the same worker loop as a batch of one: the same
// success rule, roll-back and page-file clean-up. Used by pagewright-batch
// --jobs; the window runs its batches one file after another.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/BatchJob.h"
#include "engine/BatchObserver.h"
#include "engine/BatchOperations.h"
#include "platform/ProcessRunner.h"

namespace pw {

// Calls entry(i) for every i below count on `workers` threads (at least
// one, at most count), each thread taking the next i not yet taken, until
// all are taken or stopRequested() answers true. Returns when all calls
// have returned. An exception from entry (on any thread) stops the taking
// of further entries and is thrown on to the caller, the first one only,
// once the calls under way have returned.
void ForEachEntryInParallel(size_t count, unsigned workers, const std::function<bool()>& stopRequested,
                            const std::function<void(size_t)>& entry);

// One worker per processor core for a request of 0 workers.
unsigned WorkerCount(int requested);

class ParallelBatch {
public:
    ParallelBatch() = default;
    ~ParallelBatch();
    ParallelBatch(const ParallelBatch&) = delete;
    ParallelBatch& operator=(const ParallelBatch&) = delete;

    // One batch per object. Runs the job of operation ("Compress" or
    // "Split"; a merge is refused and runs nothing) on `workers`
    // threads and returns when every file has been processed or the batch
    // was stopped. The observer is called one call at a time, from any
    // worker thread, with list indices; statuses come in the order files
    // finish. The finished notice comes last unless the batch was stopped.
    void Run(const std::string& operation, const BatchJob& job, BatchObserver& observer,
             BatchOperations& operations, unsigned workers);

    // From any other thread, also before Run: no further file is started and no notice made
    // once this returns; running tools are ended, the temporary images
    // removed. Run then returns when the files under way have given up.
    void Stop();

private:
    class EntryHost;

    std::mutex noticeMutex_;  // one notice at a time; the stop request is set under it
    std::atomic<bool> stopRequested_{false};  // read without the lock from within notices
    StopSignal toolStop_;
};

}  // namespace pw
