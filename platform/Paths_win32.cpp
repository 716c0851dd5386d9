#include "platform/Paths.h"

#include <windows.h>

#include "platform/WideText_win32.h"

namespace pw {
namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

DWORD Attributes(const std::string& path)
{
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(Widen(path).c_str());
}

}  // namespace

PathParts SplitPath(const std::string& path)
{
    PathParts parts;
    std::string rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        parts.drive = rest.substr(0, 2);
        rest = rest.substr(2);
    }
    SplitFolderAndName(rest, "\\/", parts);
    return parts;
}

bool PathExists(const std::string& path)
{
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The wide calls take long paths as they are.
std::string UsablePath(const std::string& path)
{
    return path;
}

std::string WithTrailingSeparator(const std::string& folder)
{
    if (!folder.empty() && IsSeparator(folder.back()))
        return folder;
    return folder + kPathSeparator;
}

}  // namespace pw
