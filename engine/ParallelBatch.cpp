#include "engine/ParallelBatch.h"

#include "engine/BatchWorker.h"
#include "engine/TempImages.h"
#include "platform/ProtectedFiles.h"

#include <exception>
#include <mutex>
#include <new>

namespace pw {

void ForEachEntryInParallel(size_t count, unsigned workers, const std::function<bool()>& stopRequested,
                            const std::function<void(size_t)>& entry)
{
    std::atomic<size_t> next{0};
    // The first exception an entry throws, on any thread: no further entry
    // is started, and it reaches the caller once every thread has returned
    // (one escaping a helper thread would end the program).
    std::mutex failureMutex;
    std::exception_ptr failure;
    std::atomic<bool> failed{false};
    auto work = [&] {
        try {
            for (;;) {
                if (failed || stopRequested())
                    return;
                const size_t i = next.fetch_add(1);
                if (i >= count)
                    return;
                entry(i);
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(failureMutex);
            if (!failure)
                failure = std::current_exception();
            failed = true;
        }
    };
    const size_t threads = std::min<size_t>(std::max(1u, workers), std::max<size_t>(1, count));
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer threads, same work
        } catch (const std::bad_alloc&) {
            break;
        }
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}

unsigned WorkerCount(int requested)
{
    if (requested > 0)
        return static_cast<unsigned>(requested);
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

// What one file's worker loop needs: the batch's stop request and tool
// signal, and notices made under the batch's lock with the file's list
// index.
class ParallelBatch::EntryHost final : public BatchWorkerHost, public BatchObserver {
public:
    EntryHost(ParallelBatch& batch, BatchObserver& observer, int index, int progress)
        : batch_(batch), observer_(observer), index_(index), progress_(progress)
    {
    }

    bool IsStopRequested() const override { return batch_.stopRequested_; }
    bool Notify(std::function<void()> notice, bool) override
    {
        std::lock_guard<std::mutex> lock(batch_.noticeMutex_);
        if (batch_.stopRequested_)
            return false;
        notice();
        return true;
    }
    StopSignal* ToolStopSignal() override { return &batch_.toolStop_; }

    void OnProgress(int) override { observer_.OnProgress(progress_); }
    void OnItemStarted(int index) override
    {
        if (index != kBatchFinished)
            observer_.OnItemStarted(index_);
    }
    void OnItemStatus(int, const std::string& status, const std::string& reason) override
    {
        observer_.OnItemStatus(index_, status, reason);
    }

private:
    ParallelBatch& batch_;
    BatchObserver& observer_;
    int index_;
    int progress_;
};

ParallelBatch::~ParallelBatch() = default;

void ParallelBatch::Run(const std::string& operation, const BatchJob& job, BatchObserver& observer,
                        BatchOperations& operations, unsigned workers)
{
    // A merge's files go into one output, in list order: they are not
    // independent.
    if (operation == kOperationMerge)
        return;
    const size_t count = std::min({job.sources.size(), job.outputs.size(), job.compressionArguments.size()});
    // Each file's worker protects its own source; no file may take the place
    // of another's either.
    const ProtectedFiles sources(job.sources, operation == kOperationCompress ? job.outputs
                                                                            : std::vector<std::string>());
    std::atomic<size_t> started{0};
    auto stopRequested = [this] { return stopRequested_.load(); };
    ForEachEntryInParallel(count, workers, stopRequested, [&](size_t i) {
        BatchJob one;
        one.sources = {job.sources[i]};
        one.outputs = {job.outputs[i]};
        one.compressionArguments = {job.compressionArguments[i]};
        one.useCompression = job.useCompression;
        one.compressionMethod = job.compressionMethod;
        const int progress = static_cast<int>((99 + 100 * started.fetch_add(1)) / count);
        EntryHost host(*this, observer, static_cast<int>(i), progress);
        RunBatchWorker(operation, one, operations, host, host);
    });
    EntryHost finished(*this, observer, kBatchFinished, 0);
    finished.Notify([&observer] { observer.OnItemStarted(kBatchFinished); }, true);
}

void ParallelBatch::Stop()
{
    {
        std::lock_guard<std::mutex> lock(noticeMutex_);
        stopRequested_ = true;
    }
    toolStop_.Request();
    TerminateToolProcesses();
    RemoveTempImages();
}

}  // namespace pw
