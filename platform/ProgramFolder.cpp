#include "platform/ProgramFolder.h"

#include <mutex>

#include "platform/Paths.h"

namespace pw {
namespace {

std::mutex g_mutex;
std::string g_override;

// Read once: once the running file is replaced (a rebuild, an upgrade),
// the system's answer names a deleted file and the program would lose its
// folder.
const std::string& RealExecutablePath()
{
    static const std::string path = SystemExecutablePath();
    return path;
}

}  // namespace

void RememberExecutablePath()
{
    RealExecutablePath();
}

std::string GetExecutablePath()
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_override.empty())
            return g_override;
    }
    return RealExecutablePath();
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
