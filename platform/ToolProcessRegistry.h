#pragma once
// The tool processes RunAndCapture has running, so that a stop can end
// exactly those. A child is listed from the moment it is started until just
// before it is reaped; only listed children are ever signalled, so a process
// id that the system has handed to somebody else is never hit.

#include <sys/types.h>

#include <mutex>
#include <vector>

#include "platform/ProcessRunner.h"

namespace pw {

// The exit status a stop gives a tool on Windows, where there are no signals.
inline constexpr unsigned kEndedByStopExitCode = 0xC000013Au;

struct ToolChild {
    pid_t pid = -1;
    int pidfd = -1;  // -1 when the kernel offers no process descriptors
    void* process = nullptr;  // Windows: the process handle, owned by the run
};

class ToolProcessRegistry {
public:
    static ToolProcessRegistry& Instance();

    // Calls spawn(child) under the lock unless stop is already requested, and
    // lists the child it started. Holding the lock across the start makes
    // "requested?" and "start" one step for StopSignal::Request.
    template <class Spawn>
    bool Start(StopSignal* stop, Spawn&& spawn, ToolChild& child)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop != nullptr && stop->requested_)
            return false;
        if (!spawn(child))
            return false;
        children_.push_back(Entry{child, stop});
        return true;
    }

    // Takes the child off the list; call before reaping it.
    void Remove(pid_t pid);

    int TerminateAll();
    void Request(StopSignal& stop);
    void Clear(StopSignal& stop);
    int Count();

private:
    struct Entry {
        ToolChild child;
        StopSignal* stop;
    };

    static void Kill(const ToolChild& child);

    std::mutex mutex_;
    std::vector<Entry> children_;
};

}  // namespace pw
