#include "platform/TempFiles.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

#include "platform/Paths.h"
#include "platform/UserFolders.h"

namespace pw {
namespace {

std::string JournalFolder()
{
    return GetUserConfigFolder() + "temporaries" + kPathSeparator;
}

std::string Absolute(const std::string& path)
{
    if (!path.empty() && path[0] == kPathSeparator)
        return path;
    char cwd[PATH_MAX];
    if (::getcwd(cwd, sizeof cwd) == nullptr)
        return path;
    return WithTrailingSeparator(cwd) + path;
}

// Journal entries are links named "<pid>-<hash of the path>" that point at
// the file.
std::string EntryFor(const std::string& absolutePath)
{
    return JournalFolder() + std::to_string(::getpid()) + "-" +
           std::to_string(std::hash<std::string>()(absolutePath));
}

void Note(const std::string& path)
{
    const int saved = errno;
    CreateFolders(JournalFolder());
    const std::string target = Absolute(path);
    ::symlink(target.c_str(), EntryFor(target).c_str());
    errno = saved;
}

std::string OwnPrefix(pid_t pid)
{
    return "pagewright-" + std::to_string(pid) + "-";
}

bool ProcessRuns(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Removes a folder we made: its entries are plain files and links.
void RemoveOwnFolder(const std::string& folder)
{
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                ::unlink((folder + kPathSeparator + entry->d_name).c_str());
        }
        ::closedir(dir);
    }
    ::rmdir(folder.c_str());
}

}  // namespace

std::string CreateTempFile(const std::string& folder, const std::string& extension)
{
    std::string pattern = folder + "." + OwnPrefix(::getpid()) + "XXXXXX" + extension;
    const int fd = ::mkstemps(pattern.data(), static_cast<int>(extension.size()));
    if (fd < 0)
        return std::string();
    ::close(fd);
    Note(pattern);
    return pattern;
}

std::string CreateTempFolder()
{
    std::string pattern = GetTempFolder() + OwnPrefix(::getpid()) + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return std::string();
    Note(pattern);
    return pattern;
}

void ForgetTemp(const std::string& path)
{
    ::unlink(EntryFor(Absolute(path)).c_str());
}

void RemoveStaleTemporaries()
{
    const std::string journal = JournalFolder();
    DIR* dir = ::opendir(journal.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const size_t dash = name.find('-');
        if (dash == std::string::npos || dash == 0)
            continue;
        const pid_t pid = static_cast<pid_t>(std::atol(name.substr(0, dash).c_str()));
        if (pid <= 0 || ProcessRuns(pid))
            continue;
        const std::string link = journal + name;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
        if (n > 0) {
            // Only a name this program gives its temporaries, with that
            // process's id in it, is ever removed.
            const std::string target(buffer, static_cast<size_t>(n));
            const std::string base = target.substr(target.find_last_of(kPathSeparator) + 1);
            const std::string prefix = OwnPrefix(pid);
            struct stat st;
            if (::lstat(target.c_str(), &st) == 0) {
                if (S_ISREG(st.st_mode) && base.compare(0, prefix.size() + 1, "." + prefix) == 0)
                    ::unlink(target.c_str());
                else if (S_ISDIR(st.st_mode) && base.compare(0, prefix.size(), prefix) == 0)
                    RemoveOwnFolder(target);
            }
        }
        ::unlink(link.c_str());
    }
    ::closedir(dir);
}

}  // namespace pw
