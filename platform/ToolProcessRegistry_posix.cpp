#include "platform/ToolProcessRegistry.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pw {

void ToolProcessRegistry::Kill(const ToolChild& child)
{
#ifdef SYS_pidfd_send_signal
    if (child.pidfd >= 0 && ::syscall(SYS_pidfd_send_signal, child.pidfd, SIGKILL, nullptr, 0) == 0)
        return;
#endif
    ::kill(child.pid, SIGKILL);
}

}  // namespace pw
