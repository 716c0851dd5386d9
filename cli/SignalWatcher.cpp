#include "cli/SignalWatcher.h"

namespace pw::cli {

void SignalWatcher::SetAction(std::function<void()> action)
{
    {
        std::lock_guard<std::mutex> lock(actionMutex_);
        action_ = action;
    }
    if (received_.load() != 0 && action)
        action();
}

void SignalWatcher::Deliver(int signal)
{
    int none = 0;
    if (!received_.compare_exchange_strong(none, signal))
        return;  // already stopping
    std::function<void()> action;
    {
        std::lock_guard<std::mutex> lock(actionMutex_);
        action = action_;
    }
    if (action)
        action();
}

}  // namespace pw::cli
