#pragma once
// SIGINT, SIGTERM and SIGHUP (the terminal closed) for the command line,
// each a stop request. The signals are blocked in
// every thread and taken by a thread of their own with sigwait, so the stop
// they ask for runs as ordinary code (not in a signal handler) and no other
// thread is interrupted. The tools are started with the signal mask reset.
// On Windows, Ctrl+C and Ctrl+Break (or the console closing) arrive the same
// way, on the thread the system starts for a console control handler.

#include <signal.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace pw::cli {

class SignalWatcher {
public:
    // Construct before any other thread is started: threads inherit the mask.
    SignalWatcher();
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // What to do, on the watcher's thread, when the first signal arrives.
    // When a signal has arrived already, the action runs at once, here.
    void SetAction(std::function<void()> action);

    // The first signal that arrived, or 0.
    int Received() const { return received_.load(); }

    // The exit status of a program ended by that signal: 129, 130, 143.
    static int ExitStatusFor(int signal) { return 128 + signal; }

#ifdef _WIN32
    // For the console control handler, which delivers on the system's thread.
    friend int DeliverConsoleSignal(SignalWatcher&, int);
#endif

private:
    void Watch();
    void Deliver(int signal);  // the first signal: records it and runs the action

#ifndef _WIN32
    sigset_t watched_;
#endif
    std::atomic<int> received_{0};
    std::atomic<bool> quitting_{false};
    std::mutex actionMutex_;
    std::function<void()> action_;
    std::thread thread_;
};

}  // namespace pw::cli
