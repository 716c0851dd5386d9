#include "platform/ProgramFolder.h"

#include <mutex>

#include "platform/Paths.h"

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
    return SystemExecutablePath();
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
