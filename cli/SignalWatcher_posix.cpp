#include "cli/SignalWatcher.h"

#include <pthread.h>

namespace pw::cli {
namespace {

// Wakes the watcher when the program ends; sent only to the watcher thread.
constexpr int kQuitSignal = SIGUSR2;

}  // namespace

SignalWatcher::SignalWatcher()
{
    sigemptyset(&watched_);
    sigaddset(&watched_, SIGINT);
    sigaddset(&watched_, SIGTERM);
    sigaddset(&watched_, SIGHUP);  // a closed terminal: a stop like SIGTERM
    sigaddset(&watched_, kQuitSignal);
    ::pthread_sigmask(SIG_BLOCK, &watched_, &previousMask_);
    thread_ = std::thread(&SignalWatcher::Watch, this);
}

SignalWatcher::~SignalWatcher()
{
    quitting_ = true;
    ::pthread_kill(thread_.native_handle(), kQuitSignal);
    thread_.join();
    ::pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void SignalWatcher::Watch()
{
    for (;;) {
        int signal = 0;
        if (::sigwait(&watched_, &signal) != 0)
            continue;
        if (signal == kQuitSignal) {
            if (quitting_.load())
                return;
            continue;
        }
        Deliver(signal);
    }
}

}  // namespace pw::cli
