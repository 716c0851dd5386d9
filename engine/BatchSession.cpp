#include "engine/BatchSession.h"

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
    std::lock_guard<std::mutex> threadLock(threadMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (running_)
            return false;
    }
    if (thread_.joinable())
        thread_.join();  // a worker that finished by itself
    {
        std::lock_guard<std::mutex> lock(mutex_);
        toolStop_.Clear();
        stopRequested_ = false;
        carry_ = std::move(carry);
        running_ = true;
        workerEnded_ = false;
    }
    try {
        thread_ = std::thread(&BatchSession::WorkerMain, this, std::move(job), &observer, &operations);
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(mutex_);
        running_ = false;
        workerEnded_ = true;
        changed_.notify_all();
        return false;
    }
    return true;
}

void BatchSession::WorkerMain(BatchJob job, BatchObserver* observer, BatchOperations* operations)
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
    std::lock_guard<std::mutex> lock(mutex_);
    workerEnded_ = true;
    workerId_ = std::thread::id();
    // A worker that finished by itself (or that its own observer stopped)
    // brings the batch back to idle; after a stop from outside, Stop does.
    if (!stopRequested_ || stoppedByWorker_) {
        toolStop_.Clear();
        stopRequested_ = false;
        stoppedByWorker_ = false;
        running_ = false;
    }
    changed_.notify_all();
}

bool BatchSession::Notify(const std::function<void()>& notice)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopRequested_)
            return false;
    }
    if (carry_)
        return carry_(notice);
    notice();
    return true;
}

void BatchSession::Stop(const std::function<void()>& deliverPending)
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (running_ && std::this_thread::get_id() == workerId_) {
            // An observer stopping its own batch: the loop ends at its next
            // check; waiting here would wait for ourselves.
            stopRequested_ = true;
            stoppedByWorker_ = true;
            lock.unlock();
            toolStop_.Request();
            TerminateToolProcesses();
            RemoveTempImages();
            return;
        }
    }

    std::lock_guard<std::mutex> stopLock(stopMutex_);
    bool running = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        running = running_;
        if (running)
            stopRequested_ = true;
    }
    // The request comes first: it ends the batch's running tool and refuses
    // every later start, so no tool can slip in between the ending of the
    // tools and the request.
    if (running)
        toolStop_.Request();
    TerminateToolProcesses();
    RemoveTempImages();

    if (running) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!workerEnded_) {
            if (deliverPending) {
                lock.unlock();
                deliverPending();
                lock.lock();
                if (!workerEnded_)
                    changed_.wait_for(lock, std::chrono::milliseconds(5));
            } else {
                changed_.wait(lock);
            }
        }
    }
    JoinEndedWorker();
    if (running) {
        std::lock_guard<std::mutex> lock(mutex_);
        toolStop_.Clear();
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
