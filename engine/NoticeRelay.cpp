#include "engine/NoticeRelay.h"

namespace pw {

NoticeRelay::NoticeRelay(Poster post) : post_(std::move(post)), state_(std::make_shared<State>()) {}

NoticeRelay::~NoticeRelay()
{
    Close();
}

bool NoticeRelay::Run(std::function<void()> notice, bool wait)
{
    uint64_t number = 0;
    bool post = false;
    {
        std::unique_lock<std::mutex> lock(state_->mutex);
        state_->changed.wait(lock, [&] { return state_->closed || state_->queue.size() < kQueueLimit; });
        if (state_->closed)
            return false;
        number = ++state_->queued;
        state_->queue.emplace_back(number, std::move(notice));
        // One task on its way delivers every notice queued before it runs.
        post = !state_->taskPosted;
        state_->taskPosted = true;
    }
    if (post) {
        post_([weak = std::weak_ptr<State>(state_)] {
            if (const std::shared_ptr<State> state = weak.lock())
                Deliver(state);
        });
    }
    if (!wait)
        return true;
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->changed.wait(lock, [&] { return state_->ran >= number || state_->closed; });
    return state_->ran >= number;
}

void NoticeRelay::Deliver(const std::shared_ptr<State>& state)
{
    // The notices queued by now, one at a time, each taken off the queue
    // before it runs: a notice that runs an event loop of its own (and with
    // it a posted task) leaves the rest to that task, still in order. Those
    // queued meanwhile are left to the task they post, so that a worker
    // that keeps the queue full cannot keep the target thread here.
    uint64_t last = 0;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        last = state->queued;
        state->taskPosted = false;  // a notice queued from now on posts a task of its own
    }
    while (true) {
        std::function<void()> notice;
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->closed || state->queue.empty() || state->queue.front().first > last)
                return;
            notice = std::move(state->queue.front().second);
            state->queue.pop_front();
        }
        notice();
        std::lock_guard<std::mutex> lock(state->mutex);
        ++state->ran;
        state->changed.notify_all();
    }
}

void NoticeRelay::DeliverPending()
{
    Deliver(state_);
}

void NoticeRelay::Close()
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->closed = true;
    state_->queue.clear();
    state_->changed.notify_all();
}

}  // namespace pw
