#include "platform/UserFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/Paths.h"

namespace pw {
namespace {

std::string FromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string GetTempFolder()
{
    std::string folder = FromEnvironment("TMPDIR");
    if (folder.empty())
        folder = "/tmp";
    return WithTrailingSeparator(folder);
}

std::string GetHomeFolder()
{
    std::string home = FromEnvironment("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
            home = entry->pw_dir;
    }
    while (home.size() > 1 && home.back() == kPathSeparator)
        home.pop_back();
    return home;
}

std::string GetUserConfigFolder()
{
    std::string base = FromEnvironment("XDG_CONFIG_HOME");
    if (base.empty() || base.front() != kPathSeparator)
        base = GetHomeFolder() + kPathSeparator + ".config";
    return WithTrailingSeparator(WithTrailingSeparator(base) + "pagewright");
}

bool CreateFolders(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::string path;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find(kPathSeparator, pos + 1);
        path = folder.substr(0, pos);
        if (!path.empty() && ::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return IsFolder(folder);
}

bool IsFolderWritable(const std::string& folder)
{
    return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace pw
