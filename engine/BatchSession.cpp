#include "engine/BatchSession.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "engine/TempImages.h"

namespace pw {

BatchSession::~BatchSession()
{
    Stop();
}

BatchSession& BatchSession::Instance()
{
    // Never destroyed: a destructor at exit would stop the batch through
    // parts of the program that may already be gone.
    static BatchSession* const session = new BatchSession;
    return *session;
}

void BatchSession::SetCurrentOperation(const std::string& operation)
{
    std::lock_guard<std::mutex> lock(mutex_);
    operation_ = operation;
}

std::string BatchSession::CurrentOperation() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return operation_;
}

bool BatchSession::IsStopRequested() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return stopRequested_;
}

bool BatchSession::IsRunning() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return running_;
}

bool BatchSession::Start(BatchJob job, BatchObserver& observer, BatchOperations& operations, NoticeCarrier carry)
{
    // Borrowed: the caller keeps them alive.
    return Start(std::move(job), observer, std::shared_ptr<BatchOperations>(std::shared_ptr<void>(), &operations),
                 std::move(carry));
}

bool BatchSession::Start(BatchJob job, BatchObserver& observer, std::shared_ptr<BatchOperations> operations,
                         NoticeCarrier carry)
{
    std::lock_guard<std::mutex> threadLock(threadMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (running_)
            return false;
    }
    if (thread_.joinable())
        thread_.join();  // a worker that finished by itself
    std::shared_ptr<StopSignal> toolStop;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        toolStop_->Clear();
        toolStop = toolStop_;
        stopRequested_ = false;
        carry_ = std::move(carry);
        running_ = true;
        workerEnded_ = false;
    }
    try {
        thread_ = std::thread(&BatchSession::WorkerMain, this, std::move(job), &observer, std::move(operations),
                              std::move(toolStop));
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
        workerEnded_ = true;
        changed_.notify_all();
        return false;
    }
    return true;
}

void BatchSession::WorkerMain(BatchJob job, BatchObserver* observer, std::shared_ptr<BatchOperations> operations,
                              std::shared_ptr<StopSignal> toolStop)
{
    std::string operation;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        workerId_ = std::this_thread::get_id();
        operation = operation_;
    }
    try {
        RunBatchWorker(operation, job, *operations, *observer, *this);
    } catch (...) {
        // An observer that throws ends the batch; the session must still
        // come back to idle.
    }
    // Released before the batch counts as ended: whoever waits for the end
    // finds nothing of it left open.
    operations.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    if (workerId_ != std::this_thread::get_id())
        return;  // left behind by a Stop: the session is another batch's now
    workerEnded_ = true;
    workerId_ = std::thread::id();
    // A worker that finished by itself (or that its own observer stopped)
    // brings the batch back to idle; after a stop from outside, Stop does.
    if (!stopRequested_ || stoppedByWorker_) {
        toolStop->Clear();
        stopRequested_ = false;
        stoppedByWorker_ = false;
        running_ = false;
    }
    changed_.notify_all();
}

bool BatchSession::Notify(std::function<void()> notice, bool wait)
{
    NoticeCarrier carry;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopRequested_ || workerId_ != std::this_thread::get_id())
            return false;
        carry = carry_;
    }
    if (carry)
        return carry(std::move(notice), wait);
    notice();
    return true;
}

StopSignal* BatchSession::ToolStopSignal()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (workerId_ == std::this_thread::get_id())
        return toolStop_.get();
    // A worker left behind: a signal that stays requested.
    static StopSignal* const abandoned = [] {
        auto* signal = new StopSignal;
        signal->Request();
        return signal;
    }();
    return abandoned;
}

void BatchSession::Stop(const std::function<void()>& deliverPending, std::chrono::milliseconds limit)
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (running_ && std::this_thread::get_id() == workerId_) {
            // An observer stopping its own batch: the loop ends at its next
            // check; waiting here would wait for ourselves.
            stopRequested_ = true;
            stoppedByWorker_ = true;
            const std::shared_ptr<StopSignal> toolStop = toolStop_;
            lock.unlock();
            toolStop->Request();
            TerminateToolProcesses();
            RemoveTempImages();
            return;
        }
    }

    std::lock_guard<std::mutex> stopLock(stopMutex_);
    bool running = false;
    std::shared_ptr<StopSignal> toolStop;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running = running_;
        if (running)
            stopRequested_ = true;
        toolStop = toolStop_;
    }
    // The request comes first: it ends the batch's running tool and refuses
    // every later start, so no tool can slip in between the ending of the
    // tools and the request.
    if (running)
        toolStop->Request();
    TerminateToolProcesses();
    RemoveTempImages();

    bool leftBehind = false;
    if (running) {
        const auto start = std::chrono::steady_clock::now();
        const auto endsIn = [&] {
            const auto passed = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            return limit - std::min(passed, limit);
        };
        std::unique_lock<std::mutex> lock(mutex_);
        while (!workerEnded_) {
            if (endsIn().count() <= 0) {
                // The worker goes on alone; whatever it does from now on
                // concerns nobody (see Notify and ToolStopSignal).
                leftBehind = true;
                workerId_ = std::thread::id();
                workerEnded_ = true;
                toolStop_ = std::make_shared<StopSignal>();
                break;
            }
            if (deliverPending) {
                lock.unlock();
                deliverPending();
                lock.lock();
                if (!workerEnded_)
                    changed_.wait_for(lock, std::min(endsIn(), std::chrono::milliseconds(5)));
            } else {
                changed_.wait_for(lock, std::min(endsIn(), std::chrono::milliseconds(100)));
            }
        }
    }
    // The worker's last notices may still be queued for this thread.
    if (running && deliverPending)
        deliverPending();
    if (leftBehind) {
        TerminateToolProcesses();
        std::lock_guard<std::mutex> threadLock(threadMutex_);
        if (thread_.joinable())
            thread_.detach();
    }
    JoinEndedWorker();
    if (running) {
        std::lock_guard<std::mutex> lock(mutex_);
        toolStop_->Clear();
        stopRequested_ = false;
        running_ = false;
        changed_.notify_all();
    }
}

void BatchSession::WaitUntilIdle()
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !running_; });
    }
    JoinEndedWorker();
}

void BatchSession::JoinEndedWorker()
{
    std::lock_guard<std::mutex> threadLock(threadMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!workerEnded_)
            return;
    }
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

}  // namespace pw
