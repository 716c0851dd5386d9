#pragma once
// Hands the worker's notices to another thread - the window's - where they
// run one at a time, in the order they were made. Built for the delivery
// contract of BatchObserver.h:
//
//   NoticeRelay relay([](std::function<void()> task) { app.CallAfter(task); });
//   session.Start(job, window, operations, relay.Carrier());  // window: a BatchObserver
//   ...
//   session.Stop([&] { relay.DeliverPending(); });  // on the window's thread
//
// The worker does not wait for each notice: it queues it and goes on, and
// waits only for the batch's last notice or while kQueueLimit notices have
// not run yet (a window that falls behind holds the worker back instead of
// piling notices up). The tasks handed to the poster hold only a weak
// reference to the relay: a task that runs after the relay is gone does
// nothing.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

namespace pw {

class NoticeRelay {
public:
    // post makes a task run later on the target thread; callable from any
    // thread.
    using Poster = std::function<void(std::function<void()>)>;

    // Notices queued and not yet run beyond which Run waits.
    static constexpr size_t kQueueLimit = 64;

    explicit NoticeRelay(Poster post);
    // Closes the relay.
    ~NoticeRelay();
    NoticeRelay(const NoticeRelay&) = delete;
    NoticeRelay& operator=(const NoticeRelay&) = delete;

    // Worker thread: queues the notice to run on the target thread after
    // every notice queued before it. With wait, returns once it has run;
    // without, at once (once the queue is below its limit). True when the
    // notice is queued; false, without it, when the relay is closed, or,
    // with wait, gets closed before the notice has run.
    bool Run(std::function<void()> notice, bool wait);

    // Run as a function, for BatchSession::Start; the relay must outlive
    // the batch.
    std::function<bool(std::function<void()>, bool)> Carrier()
    {
        return [this](std::function<void()> notice, bool wait) { return Run(std::move(notice), wait); };
    }

    // Target thread: runs the notices queued by now, in order (the posted
    // tasks then find nothing to do).
    void DeliverPending();

    // Target thread: drops the queued notices, and every later one; a worker
    // waiting in Run returns false. Whoever must see every notice the worker
    // was told went out delivers them first (a stop with DeliverPending).
    void Close();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::pair<uint64_t, std::function<void()>>> queue;  // numbered from 1
        uint64_t queued = 0;  // notices queued so far
        uint64_t ran = 0;     // of those, the ones that have run
        bool closed = false;
        bool taskPosted = false;  // a task is on its way that has not begun to deliver
    };
    static void Deliver(const std::shared_ptr<State>& state);

    Poster post_;
    std::shared_ptr<State> state_;
};

}  // namespace pw
