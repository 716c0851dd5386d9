#include "platform/Paths.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace pw {

std::string UsablePath(const std::string& path)
{
    if (path.size() < PATH_MAX)
        return path;
    // Each step opens one name in the folder reached so far, so "..", links
    // and their targets count exactly as in a lookup of the whole path.
    const size_t lastSlash = path.find_last_of('/');
    const std::string folderPart = lastSlash == std::string::npos ? std::string() : path.substr(0, lastSlash + 1);
    std::string last = lastSlash == std::string::npos ? path : path.substr(lastSlash + 1);
    int fd = ::open(path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    auto step = [&fd](const std::string& name) {
        if (name.empty() || name == ".")
            return fd >= 0;
        const int next = fd < 0 ? -1 : ::openat(fd, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
        fd = next;
        return fd >= 0;
    };
    for (size_t begin = 0; begin < folderPart.size();) {
        const size_t end = folderPart.find('/', begin);
        if (!step(folderPart.substr(begin, end - begin)))
            return path;
        begin = end + 1;
    }
    if (last == "..") {
        if (!step(last))
            return path;
        last.clear();
    }
    char folder[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), folder, sizeof folder - 1);
    ::close(fd);
    if (n <= 0)
        return path;
    std::string resolved(folder, static_cast<size_t>(n));
    if (!last.empty() && last != ".")
        resolved += (resolved == "/" ? "" : "/") + last;
    return resolved.size() < PATH_MAX ? resolved : path;
}

}  // namespace pw
