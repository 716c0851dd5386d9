#include "cli/SignalWatcher.h"

#include <windows.h>

namespace pw::cli {
namespace {

std::mutex g_mutex;
SignalWatcher* g_watcher = nullptr;  // the one installed, under g_mutex

// The system calls this on a thread of its own, like the POSIX watcher's.
BOOL WINAPI OnConsoleControl(DWORD type)
{
    const int signal = type == CTRL_C_EVENT ? SIGINT : SIGTERM;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_watcher == nullptr)
        return FALSE;
    DeliverConsoleSignal(*g_watcher, signal);
    return TRUE;
}

}  // namespace

int DeliverConsoleSignal(SignalWatcher& watcher, int signal)
{
    watcher.Deliver(signal);
    return signal;
}

SignalWatcher::SignalWatcher()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_watcher = this;
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

SignalWatcher::~SignalWatcher()
{
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    std::lock_guard<std::mutex> lock(g_mutex);
    g_watcher = nullptr;
}

void SignalWatcher::Watch()
{
    // No thread of our own: the system starts one for each console event.
}

}  // namespace pw::cli
