#include "engine/NoticeRelay.h"

namespace pw {

NoticeRelay::NoticeRelay(Poster post) : post_(std::move(post)), state_(std::make_shared<State>()) {}

NoticeRelay::~NoticeRelay()
{
    Close();
}

bool NoticeRelay::Run(std::function<void()> notice)
{
    uint64_t number = 0;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->closed)
            return false;
        state_->pending = std::move(notice);
        number = ++state_->posted;
    }
    post_([weak = std::weak_ptr<State>(state_)] {
        if (const std::shared_ptr<State> state = weak.lock())
            Deliver(state);
    });
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->handled.wait(lock, [&] { return state_->delivered >= number || state_->closed; });
    return state_->delivered >= number;
}

void NoticeRelay::Deliver(const std::shared_ptr<State>& state)
{
    std::function<void()> notice;
    uint64_t number = 0;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->closed || !state->pending)
            return;
        notice = std::move(state->pending);
        state->pending = nullptr;
        number = state->posted;
    }
    notice();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->delivered = number;
    state->handled.notify_all();
}

void NoticeRelay::DeliverPending()
{
    Deliver(state_);
}

void NoticeRelay::Close()
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->closed = true;
    state_->pending = nullptr;
    state_->handled.notify_all();
}

}  // namespace pw
