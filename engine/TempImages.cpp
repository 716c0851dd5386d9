#include "engine/TempImages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/UserFolders.h"

namespace pw {

std::string TempImagePath(int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "HaskollTemp%08d.png", number);
    return GetTempFolder() + name;
}

void RemoveTempImages()
{
    for (int number = 1; number > 0; ++number) {
        const std::string path = TempImagePath(number);
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0)
            return;
        ::unlink(path.c_str());
    }
}

}  // namespace pw
