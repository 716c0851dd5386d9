// Starting and stopping a batch: the worker thread, the stop request, and a
// stop that a window thread makes while the worker waits for that thread.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <numeric>
#include <thread>

#include "engine/BatchSession.h"
#include "engine/NoticeRelay.h"
#include "engine/TempImages.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

class RecordingObserver : public BatchObserver {
public:
    void OnProgress(int position) override { Add("progress " + std::to_string(position)); }
    void OnItemStarted(int index) override { Add("started " + std::to_string(index)); }
    void OnItemStatus(int index, const std::string& status, const std::string&) override
    {
        Add("status " + std::to_string(index) + " " + status);
        if (onStatus)
            onStatus(index);
    }
    std::vector<std::string> Events() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }
    std::function<void(int)> onStatus;

private:
    void Add(const std::string& event)
    {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(event);
    }
    mutable std::mutex mutex;
    std::vector<std::string> events;
};

// Operations that succeed at once, or - for the entry `holdAt` - wait until
// released or until the session's stop request is set (as a killed tool
// would end).
class HeldOperations : public BatchOperations {
public:
    explicit HeldOperations(BatchSession& session) : session_(session) {}

    bool Compress(const std::string& source, const std::string&, const std::string&, const std::string&,
                  StopSignal*, ToolOutcome*) override
    {
        return Entry(source, "Compress");
    }
    bool Merge(const std::string& source, const std::string&, const std::string&, const std::string&,
               const std::string&, StopSignal*, ToolOutcome*) override
    {
        return Entry(source, "Merge");
    }
    bool Split(const std::string& source, const std::string&, StopSignal*, ToolOutcome*) override
    {
        return Entry(source, "Split");
    }

    void Release()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    void WaitUntilHeld()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return held_; });
    }
    std::vector<std::string> Calls()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

    std::string holdAt;

private:
    bool Entry(const std::string& source, const char* operation)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        calls_.push_back(std::string(operation) + " " + source);
        if (source != holdAt)
            return true;
        held_ = true;
        changed_.notify_all();
        while (!released_ && (ignoreStop || !session_.IsStopRequested()))
            changed_.wait_for(lock, 1ms);
        returned_ = true;
        return released_;
    }

public:
    // Like a read from a hung network mount: no stop ends the held entry.
    bool ignoreStop = false;
    bool Returned()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return returned_;
    }

private:
    bool returned_ = false;

    BatchSession& session_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
    std::vector<std::string> calls_;
};

BatchJob Job(int count)
{
    BatchJob job;
    for (int i = 0; i < count; ++i) {
        job.sources.push_back("s" + std::to_string(i));
        job.outputs.push_back("o" + std::to_string(i));
        job.compressionArguments.push_back("");
    }
    return job;
}

// A Stop with a time limit gives up on a worker that cannot end: the
// session is idle at once and takes the next batch, and nothing of the old
// worker arrives any more once its call returns.
TEST(BatchSession, AStopWithALimitLeavesAWorkerThatCannotEndBehind)
{
    // Never destroyed: they outlive the worker left behind.
    auto* session = new BatchSession;
    auto* held = new HeldOperations(*session);
    auto* observer = new RecordingObserver;
    held->holdAt = "s1";
    held->ignoreStop = true;
    session->SetCurrentOperation("Compress");
    ASSERT_TRUE(session->Start(Job(3), *observer, *held));
    held->WaitUntilHeld();
    session->Stop({}, 100ms);
    EXPECT_FALSE(session->IsRunning());
    EXPECT_FALSE(session->IsStopRequested());
    const std::vector<std::string> seen = observer->Events();
    EXPECT_THAT(seen, ElementsAre("progress 33", "started 0", "status 0 Success", "progress 66", "started 1"));

    RecordingObserver next;
    HeldOperations fresh(*session);
    ASSERT_TRUE(session->Start(Job(1), next, fresh));
    held->Release();
    session->WaitUntilIdle();
    EXPECT_THAT(next.Events(), ElementsAre("progress 99", "started 0", "status 0 Success", "started -1"));
    while (!held->Returned())
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);  // the old worker runs on to its end
    EXPECT_EQ(observer->Events(), seen);
    EXPECT_EQ(held->Calls(), (std::vector<std::string>{"Compress s0", "Compress s1"}));
}

TEST(BatchSession, AFinishedBatchComesBackToIdleByItself)
{
    BatchSession session;
    HeldOperations operations(session);
    RecordingObserver observer;
    session.SetCurrentOperation("Compress");
    ASSERT_TRUE(session.Start(Job(2), observer, operations));
    session.WaitUntilIdle();
    EXPECT_THAT(observer.Events(), ElementsAre("progress 49", "started 0", "status 0 Success", "progress 99",
                                               "started 1", "status 1 Success", "started -1"));
    EXPECT_FALSE(session.IsRunning());
    EXPECT_FALSE(session.IsStopRequested());

    RecordingObserver again;
    ASSERT_TRUE(session.Start(Job(1), again, operations)) << "the next batch can start";
    session.WaitUntilIdle();
    EXPECT_EQ(again.Events().back(), "started -1");
}

TEST(BatchSession, OnlyOneBatchRunsAtATimeAndTheOperationIsReadOnceAtTheStart)
{
    BatchSession session;
    HeldOperations operations(session);
    operations.holdAt = "s1";
    RecordingObserver observer;
    session.SetCurrentOperation("Compress");
    ASSERT_TRUE(session.Start(Job(3), observer, operations));
    operations.WaitUntilHeld();
    EXPECT_TRUE(session.IsRunning());
    session.SetCurrentOperation("Merge");
    RecordingObserver other;
    EXPECT_FALSE(session.Start(Job(1), other, operations));
    operations.Release();
    session.WaitUntilIdle();
    EXPECT_THAT(operations.Calls(), ElementsAre("Compress s0", "Compress s1", "Compress s2"));
    EXPECT_TRUE(other.Events().empty());
}

TEST(BatchSession, StopEndsTheWorkerAndNothingIsReportedAfterwards)
{
    BatchSession session;
    HeldOperations operations(session);
    operations.holdAt = "s2";
    RecordingObserver observer;
    session.SetCurrentOperation("Compress");
    ASSERT_TRUE(session.Start(Job(6), observer, operations));
    operations.WaitUntilHeld();

    session.Stop();
    EXPECT_FALSE(session.IsRunning());
    EXPECT_FALSE(session.IsStopRequested()) << "cleared again for the next batch";
    const std::vector<std::string> events = observer.Events();
    EXPECT_THAT(events, ElementsAre("progress 16", "started 0", "status 0 Success", "progress 33", "started 1",
                                    "status 1 Success", "progress 49", "started 2"));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(observer.Events(), events);
    EXPECT_EQ(operations.Calls().size(), 3u);
}

TEST(BatchSession, StopWithoutABatchIsSafeAndRemovesTheTemporaryImages)
{
    test::TempFolder temp;
    test::ScopedEnvironment tmpdir("TMPDIR", temp.path());
    ASSERT_TRUE(test::WriteBytes(TempImagePath(1), "png"));
    BatchSession session;
    session.Stop();
    session.Stop();
    EXPECT_NE(::access(TempImagePath(1).c_str(), F_OK), 0);
    EXPECT_FALSE(session.IsRunning());
}

TEST(BatchSession, StopsFromSeveralThreadsAtOnceAllReturn)
{
    BatchSession session;
    HeldOperations operations(session);
    operations.holdAt = "s0";
    RecordingObserver observer;
    session.SetCurrentOperation("Merge");
    ASSERT_TRUE(session.Start(Job(3), observer, operations));
    operations.WaitUntilHeld();
    std::vector<std::thread> stoppers;
    for (int i = 0; i < 4; ++i)
        stoppers.emplace_back([&] { session.Stop(); });
    for (std::thread& stopper : stoppers)
        stopper.join();
    EXPECT_FALSE(session.IsRunning());
    EXPECT_EQ(operations.Calls().size(), 1u);
}

TEST(BatchSession, AnObserverMayStopItsOwnBatch)
{
    BatchSession session;
    HeldOperations operations(session);
    RecordingObserver observer;
    observer.onStatus = [&](int index) {
        if (index == 1)
            session.Stop();
    };
    session.SetCurrentOperation("Compress");
    ASSERT_TRUE(session.Start(Job(5), observer, operations));
    session.WaitUntilIdle();
    EXPECT_EQ(operations.Calls().size(), 2u);
    EXPECT_EQ(observer.Events().back(), "status 1 Success");
    EXPECT_FALSE(session.IsRunning());
    EXPECT_FALSE(session.IsStopRequested());
}

TEST(BatchSession, DestroyingASessionStopsItsWorker)
{
    RecordingObserver observer;
    auto session = std::make_unique<BatchSession>();
    HeldOperations held(*session);
    held.holdAt = "s0";
    session->SetCurrentOperation("Compress");
    ASSERT_TRUE(session->Start(Job(2), observer, held));
    held.WaitUntilHeld();
    session.reset();
    EXPECT_THAT(observer.Events(), ElementsAre("progress 49", "started 0"));
    EXPECT_EQ(held.Calls().size(), 1u);
}

// A stand-in for the window's thread: runs posted tasks in order.
class WindowThread {
public:
    WindowThread() : thread_([this] { Loop(); }) {}
    ~WindowThread()
    {
        Run([this] { quit_ = true; }).wait();
        thread_.join();
    }
    void Post(std::function<void()> task)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
        changed_.notify_all();
    }
    std::future<void> Run(std::function<void()> task)
    {
        auto promise = std::make_shared<std::promise<void>>();
        Post([task, promise] {
            task();
            promise->set_value();
        });
        return promise->get_future();
    }

private:
    void Loop()
    {
        while (!quit_) {
            std::function<void()> task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return !tasks_.empty(); });
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    bool quit_ = false;
    std::thread thread_;
};

TEST(BatchSession, AStopOnTheWindowThreadDeliversEveryNoticeMadeBeforeItAndNothingAfter)
{
    BatchSession session;
    HeldOperations operations(session);
    operations.holdAt = "s5";
    RecordingObserver window;  // runs on the window thread only
    WindowThread thread;
    std::atomic<int> posted{0};
    // From the third notice on the window thread is taken up elsewhere: its
    // tasks are lost, and only the stop's DeliverPending runs those notices.
    NoticeRelay relay([&](std::function<void()> task) {
        if (++posted < 3)
            thread.Post(std::move(task));
    });
    session.SetCurrentOperation("Compress");
    ASSERT_TRUE(session.Start(Job(10), window, operations, relay.Carrier()));
    operations.WaitUntilHeld();

    auto stopped = thread.Run([&] { session.Stop([&] { relay.DeliverPending(); }); });
    ASSERT_EQ(stopped.wait_for(10s), std::future_status::ready) << "the stop must not deadlock";
    thread.Run([] {}).wait();
    std::vector<std::string> expected;
    for (int i = 0; i < 5; ++i) {
        expected.push_back("progress " + std::to_string(9 + 10 * i));
        expected.push_back("started " + std::to_string(i));
        expected.push_back("status " + std::to_string(i) + " Success");
    }
    expected.push_back("progress 59");
    expected.push_back("started 5");
    const std::vector<std::string> events = window.Events();
    EXPECT_EQ(events, expected) << "the held entry's status is not made once the stop is requested";
    EXPECT_FALSE(session.IsRunning());
    std::this_thread::sleep_for(30ms);
    thread.Run([] {}).wait();
    EXPECT_EQ(window.Events(), events);
}

TEST(NoticeRelay, RunsNoticesOnTheTargetThreadInOrderAndAWaitedOneAfterAllBeforeIt)
{
    WindowThread thread;
    std::thread::id targetId;
    thread.Run([&] { targetId = std::this_thread::get_id(); }).wait();
    NoticeRelay relay([&](std::function<void()> task) { thread.Post(std::move(task)); });
    std::vector<int> seen;  // of the target thread
    bool allOnTarget = true;
    auto note = [&](int i) {
        return [&, i] {
            seen.push_back(i);
            allOnTarget = allOnTarget && std::this_thread::get_id() == targetId;
        };
    };
    for (int i = 0; i < 300; ++i)
        EXPECT_TRUE(relay.Run(note(i), false));
    EXPECT_TRUE(relay.Run(note(300), true));
    std::vector<int> expected(301);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(seen, expected) << "a waited notice returns once it and every one before it has run";
    EXPECT_TRUE(allOnTarget);
}

TEST(NoticeRelay, AWorkerAheadOfTheTargetWaitsAtTheQueueLimit)
{
    NoticeRelay relay([](std::function<void()>) {});  // only DeliverPending delivers
    std::vector<size_t> seen;
    for (size_t i = 0; i < NoticeRelay::kQueueLimit; ++i)
        ASSERT_TRUE(relay.Run([&seen, i] { seen.push_back(i); }, false));
    auto next = std::async(std::launch::async, [&] {
        return relay.Run([&seen] { seen.push_back(NoticeRelay::kQueueLimit); }, false);
    });
    EXPECT_EQ(next.wait_for(100ms), std::future_status::timeout) << "a full queue holds the worker back";
    relay.DeliverPending();
    ASSERT_EQ(next.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(next.get());
    relay.DeliverPending();
    ASSERT_EQ(seen.size(), NoticeRelay::kQueueLimit + 1);
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], i);
}

TEST(NoticeRelay, ClosingReleasesAWaitingWorkerAndDropsQueuedAndLaterNotices)
{
    std::vector<std::function<void()>> parked;
    std::mutex mutex;
    auto relay = std::make_unique<NoticeRelay>([&](std::function<void()> task) {
        std::lock_guard<std::mutex> lock(mutex);
        parked.push_back(std::move(task));
    });
    int ran = 0;
    auto worker = std::async(std::launch::async, [&] { return relay->Run([&] { ++ran; }, true); });
    while (true) {
        std::lock_guard<std::mutex> lock(mutex);
        if (parked.size() == 1)
            break;
    }
    EXPECT_TRUE(relay->Run([&] { ++ran; }, false)) << "queued behind the waited one";
    relay->Close();
    EXPECT_FALSE(worker.get());
    EXPECT_FALSE(relay->Run([&] { ++ran; }, false));
    relay->DeliverPending();
    relay.reset();
    for (auto& task : parked)
        task();  // a task that outlives its relay does nothing
    EXPECT_EQ(ran, 0);
}

}  // namespace
}  // namespace pw
