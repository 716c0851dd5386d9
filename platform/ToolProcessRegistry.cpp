#include "platform/ToolProcessRegistry.h"

#include <algorithm>

namespace pw {

ToolProcessRegistry& ToolProcessRegistry::Instance()
{
    // Never destroyed: runs may still end on other threads while the
    // process exits.
    static ToolProcessRegistry* registry = new ToolProcessRegistry;
    return *registry;
}

void ToolProcessRegistry::Remove(pid_t pid)
{
    std::lock_guard<std::mutex> lock(mutex_);
    children_.erase(std::remove_if(children_.begin(), children_.end(),
                                   [pid](const Entry& e) { return e.child.pid == pid; }),
                    children_.end());
}

int ToolProcessRegistry::TerminateAll()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& e : children_)
        Kill(e.child);
    return static_cast<int>(children_.size());
}

void ToolProcessRegistry::Request(StopSignal& stop)
{
    std::lock_guard<std::mutex> lock(mutex_);
    stop.requested_ = true;
    for (const Entry& e : children_) {
        if (e.stop == &stop)
            Kill(e.child);
    }
}

void ToolProcessRegistry::Clear(StopSignal& stop)
{
    std::lock_guard<std::mutex> lock(mutex_);
    stop.requested_ = false;
}

int ToolProcessRegistry::Count()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(children_.size());
}

void StopSignal::Request()
{
    ToolProcessRegistry::Instance().Request(*this);
}

bool StopSignal::IsRequested() const
{
    return requested_;
}

void StopSignal::Clear()
{
    ToolProcessRegistry::Instance().Clear(*this);
}

int TerminateToolProcesses()
{
    return ToolProcessRegistry::Instance().TerminateAll();
}

int RunningToolProcessCount()
{
    return ToolProcessRegistry::Instance().Count();
}

}  // namespace pw
