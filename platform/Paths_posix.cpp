#include "platform/Paths.h"

#include <sys/stat.h>

namespace pw {

PathParts SplitPath(const std::string& path)
{
    PathParts parts;
    SplitFolderAndName(path, "/", parts);
    return parts;
}

bool PathExists(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithTrailingSeparator(const std::string& folder)
{
    if (!folder.empty() && folder.back() == kPathSeparator)
        return folder;
    return folder + kPathSeparator;
}

}  // namespace pw
