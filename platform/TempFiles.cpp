#include "platform/TempFiles.h"

#include <dirent.h>
#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

#include "platform/Paths.h"
#include "platform/TempFilesJournal.h"
#include "platform/UserFolders.h"

namespace pw {
namespace {

std::string JournalFolder()
{
    return GetUserConfigFolder() + "temporaries" + kPathSeparator;
}

// Journal entries are named "<pid>-<hash of the path>" and lead to the file.
std::string EntryFor(const std::string& absolutePath)
{
    return JournalFolder() + std::to_string(CurrentProcessId()) + "-" +
           std::to_string(std::hash<std::string>()(absolutePath));
}

void Note(const std::string& path)
{
    const int saved = errno;
    CreateFolders(JournalFolder());
    const std::string target = AbsolutePath(path);
    WriteJournalEntry(EntryFor(target), target);
    errno = saved;
}

std::string OwnPrefix(long pid)
{
    return "pagewright-" + std::to_string(pid) + "-";
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
    std::string pattern = folder + "." + OwnPrefix(CurrentProcessId()) + "XXXXXX" + extension;
    const int fd = ::mkstemps(pattern.data(), static_cast<int>(extension.size()));
    if (fd < 0)
        return std::string();
    ::close(fd);
    Note(pattern);
    return pattern;
}

std::string CreateTempFolder()
{
    std::string pattern = GetTempFolder() + OwnPrefix(CurrentProcessId()) + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return std::string();
    Note(pattern);
    return pattern;
}

void ForgetTemp(const std::string& path)
{
    ::unlink(EntryFor(AbsolutePath(path)).c_str());
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
        const long pid = std::atol(name.substr(0, dash).c_str());
        if (pid <= 0 || ProcessRuns(pid))
            continue;
        const std::string link = journal + name;
        const std::string target = ReadJournalEntry(link);
        if (!target.empty()) {
            // Only a name this program gives its temporaries, with that
            // process's id in it, is ever removed.
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
