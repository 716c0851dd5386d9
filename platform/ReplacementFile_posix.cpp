#include "platform/ReplacementFile.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>

namespace pw {
namespace {

// The process's file mode mask, read without changing it (umask() would,
// for a moment, for every thread).
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return 022;
}

}  // namespace

void GiveReplacementMode(const std::string& path, bool replaces, mode_t oldMode)
{
    ::chmod(path.c_str(), replaces ? oldMode : (0666 & ~CurrentUmask()));
}

}  // namespace pw
