#include "platform/ProgramFolder.h"

#include <limits.h>
#include <stdlib.h>

namespace pw {

std::string SystemExecutablePath()
{
    char buffer[PATH_MAX];
    if (::realpath("/proc/self/exe", buffer) == nullptr)
        return std::string();
    return buffer;
}

}  // namespace pw
