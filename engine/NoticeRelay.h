#pragma once
// Hands the worker's notices to another thread - the window's - and makes
// the worker wait until each has been handled there, in order. Built for the
// delivery contract of BatchObserver.h:
//
//   NoticeRelay relay([](std::function<void()> task) { app.CallAfter(task); });
//   session.Start(job, window, operations, relay.Carrier());  // window: a BatchObserver
//   ...
//   session.Stop([&] { relay.DeliverPending(); });  // on the window's thread
//
// The tasks handed to the poster hold only a weak reference to the relay:
// a task that runs after the relay is gone does nothing.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace pw {

class NoticeRelay {
public:
    // post makes a task run later on the target thread; callable from any
    // thread.
    using Poster = std::function<void(std::function<void()>)>;

    explicit NoticeRelay(Poster post);
    // Closes the relay.
    ~NoticeRelay();
    NoticeRelay(const NoticeRelay&) = delete;
    NoticeRelay& operator=(const NoticeRelay&) = delete;

    // Worker thread: has the notice run on the target thread and returns once
    // it has run (true). Returns false at once, without running it, when the
    // relay is closed or gets closed while the worker waits.
    bool Run(std::function<void()> notice);

    // Run as a function, for BatchSession::Start; the relay must outlive
    // the batch.
    std::function<bool(const std::function<void()>&)> Carrier()
    {
        return [this](const std::function<void()>& notice) { return Run(notice); };
    }

    // Target thread: runs the notice a worker waits for, if there is one,
    // right now (the posted task then finds nothing to do).
    void DeliverPending();

    // Target thread: from now on every notice is dropped; a worker waiting in
    // Run returns false.
    void Close();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable handled;
        std::function<void()> pending;
        uint64_t posted = 0;     // number of the last notice handed over
        uint64_t delivered = 0;  // number of the last notice that has run
        bool closed = false;
    };
    static void Deliver(const std::shared_ptr<State>& state);

    Poster post_;
    std::shared_ptr<State> state_;
};

}  // namespace pw
