#include "platform/ToolProcessRegistry.h"

#include <windows.h>

namespace pw {

void ToolProcessRegistry::Kill(const ToolChild& child)
{
    // The handle stays open until the run has taken the child off the list,
    // so it always names our process, never a later one with the same id.
    if (child.process != nullptr)
        ::TerminateProcess(static_cast<HANDLE>(child.process), kEndedByStopExitCode);
}

}  // namespace pw
