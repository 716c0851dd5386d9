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
    ::pthread_sigmask(SIG_BLOCK, &watched_, nullptr);
    thread_ = std::thread(&SignalWatcher::Watch, this);
}

SignalWatcher::~SignalWatcher()
{
    quitting_ = true;
    ::pthread_kill(thread_.native_handle(), kQuitSignal);
    thread_.join();
    // The signals stay blocked: the program is ending, and one that comes
    // now must not end it by the signal's default action after its work is
    // done (it would give the signal's exit status to a finished batch).
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
