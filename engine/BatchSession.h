#pragma once
// The one running batch of the process and its three shared values: the
// current operation text, the stop request and the worker. Both fronts
// start and stop batches only through it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/BatchJob.h"
#include "engine/BatchObserver.h"
#include "engine/BatchOperations.h"
#include "engine/BatchWorker.h"
#include "platform/ProcessRunner.h"

namespace pw {

class BatchSession final : private BatchWorkerHost {
public:
    BatchSession() = default;
    // Stops a running worker.
    ~BatchSession() override;
    BatchSession(const BatchSession&) = delete;
    BatchSession& operator=(const BatchSession&) = delete;

    // The batch of the process, shared by the fronts.
    static BatchSession& Instance();

    // "Compress", "Merge" or "Split", set before a batch is started; the
    // worker reads it once when it starts.
    void SetCurrentOperation(const std::string& operation);
    std::string CurrentOperation() const;

    bool IsStopRequested() const override;

    // True from Start until the worker has delivered its finished notice, or
    // until Stop has returned.
    bool IsRunning() const;

    // Has a notice - one or more calls of the observer - run where the
    // observer lives, on another thread say, after the notices carried
    // before it. Returns true once it is sure to run (with wait: once it has
    // run), false when it has been dropped. NoticeRelay::Run is one.
    using NoticeCarrier = std::function<bool(std::function<void()> notice, bool wait)>;

    // Clears the stop request and starts the worker on the job. False, with
    // nothing started, when a worker is running or no thread can be made.
    // observer and operations must outlive the worker (see BatchObserver.h).
    // Without a carrier the notices are made on the worker thread.
    bool Start(BatchJob job, BatchObserver& observer,
               BatchOperations& operations = ToolBatchOperations(), NoticeCarrier carry = {});
    // The same with operations the worker keeps until it has ended, also
    // when a Stop left it behind.
    bool Start(BatchJob job, BatchObserver& observer, std::shared_ptr<BatchOperations> operations,
               NoticeCarrier carry = {});

    // Stops the batch, safe when none runs: sets the stop request - which
    // also ends the batch's running tool and lets no further tool start -,
    // ends any other tool process this program has running, removes the
    // temporary images, and waits until the worker has ended, calling
    // deliverPending (when given) on this thread while it waits. The thread
    // is never ended forcibly. Afterwards the worker has ended: it starts no
    // tool and makes no notice any more, and deliverPending has been called
    // once after its end (every notice it made has run). Returns with the stop request
    // cleared and IsRunning() false. Thread-safe; concurrent Stops wait for
    // each other. Called from the worker's own thread (by an observer), it
    // only requests the stop: the worker ends after the current notice.
    //
    // With a time limit, a worker that has not ended by then (one held up
    // in a call that nothing interrupts, a read from a hung network mount)
    // is left behind: the tools are ended once more, and the session is
    // idle and ready for the next batch at once. Such a worker starts no
    // tool and makes no notice from then on; it ends by itself whenever its
    // call returns. Its observer and operations must outlive it all the
    // same (see BatchObserver.h).
    void Stop(const std::function<void()>& deliverPending = {},
              std::chrono::milliseconds limit = std::chrono::milliseconds::max());

    // Waits until no worker runs (it finished, or a Stop ended it).
    void WaitUntilIdle();

private:
    bool Notify(std::function<void()> notice, bool wait) override;
    StopSignal* ToolStopSignal() override;
    void WorkerMain(BatchJob job, BatchObserver* observer, std::shared_ptr<BatchOperations> operations,
                    std::shared_ptr<StopSignal> toolStop);
    void JoinEndedWorker();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string operation_;
    bool stopRequested_ = false;
    bool running_ = false;      // the worker handle is set
    bool workerEnded_ = true;   // the worker's loop and notices are over
    bool stoppedByWorker_ = false;
    std::thread::id workerId_;
    NoticeCarrier carry_;       // set before the worker starts

    std::mutex threadMutex_;    // guards thread_; never taken by the worker
    std::mutex stopMutex_;      // one Stop at a time
    std::thread thread_;
    // The worker's own: a worker left behind keeps its requested signal
    // while the next batch gets a new one.
    std::shared_ptr<StopSignal> toolStop_ = std::make_shared<StopSignal>();
};

}  // namespace pw
