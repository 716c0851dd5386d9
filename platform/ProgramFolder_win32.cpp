#include "platform/ProgramFolder.h"

#include <windows.h>

#include <mutex>

#include "platform/Paths.h"
#include "platform/WideText_win32.h"

namespace pw {
namespace {

std::mutex g_mutex;
std::string g_override;

}  // namespace

std::string GetExecutablePath()
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_override.empty())
            return g_override;
    }
    // The path can exceed MAX_PATH; grow the buffer until it fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::string();
        if (n < buffer.size()) {
            buffer.resize(n);
            return Narrow(buffer);
        }
        if (buffer.size() >= 32768)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetProgramFolder()
{
    const std::string exe = GetExecutablePath();
    if (exe.empty())
        return std::string();
    const PathParts parts = SplitPath(exe);
    return parts.drive + parts.dir;
}

void SetExecutablePathForTesting(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override = path;
}

}  // namespace pw
