#include "platform/TempFiles.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "platform/Paths.h"
#include "platform/TempFilesJournal.h"
#include "platform/UserFolders.h"

namespace pw {
namespace {

constexpr char kProgramPrefix[] = "pagewright-";
constexpr size_t kTagLength = 8;
constexpr size_t kRandomLength = 6;

// Eight hexadecimal digits that tell this machine's temporaries from those
// another machine makes in a shared folder (its process ids mean nothing
// here).
const std::string& MachineTag()
{
    static const std::string tag = [] {
        uint32_t hash = 2166136261u;
        for (const char c : MachineName()) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 16777619u;
        }
        char text[kTagLength + 1];
        std::snprintf(text, sizeof text, "%08x", hash);
        return std::string(text);
    }();
    return tag;
}

std::string RandomLetters()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<uint64_t> counter{std::random_device()()};
    uint64_t value = counter.fetch_add(0x9E3779B97F4A7C15ull);
    value ^= value >> 31;
    value *= 0xBF58476D1CE4E5B9ull;
    value ^= value >> 27;
    std::string text;
    for (size_t i = 0; i < kRandomLength; ++i, value /= 36)
        text += letters[value % 36];
    return text;
}

// The process id and machine tag of a temporary name, leading dot or not;
// false for any other name.
bool ParseTempName(const std::string& name, long& pid, std::string& tag)
{
    size_t at = name.compare(0, 1, ".") == 0 ? 1 : 0;
    const size_t prefix = std::strlen(kProgramPrefix);
    if (name.compare(at, prefix, kProgramPrefix) != 0)
        return false;
    at += prefix;
    const size_t digits = name.find_first_not_of("0123456789", at);
    if (digits == std::string::npos || digits == at || digits - at > 10 || name[digits] != '-')
        return false;
    pid = std::atol(name.substr(at, digits - at).c_str());
    at = digits + 1;
    if (name.size() < at + kTagLength + 1 + kRandomLength || name[at + kTagLength] != '-')
        return false;
    tag = name.substr(at, kTagLength);
    return pid > 0 && tag.find_first_not_of("0123456789abcdef") == std::string::npos;
}

std::string JournalFolder()
{
    return GetUserConfigFolder() + "temporaries" + kPathSeparator;
}

// Journal entries are named "<pid>-<machine tag>-<hash of the path>" and
// lead to the file.
std::string EntryFor(const std::string& absolutePath)
{
    return JournalFolder() + std::to_string(CurrentProcessId()) + "-" + MachineTag() + "-" +
           std::to_string(std::hash<std::string>()(absolutePath));
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of(kPathSeparator == '/' ? "/" : "\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes a folder we made: its entries are plain files and links.
bool RemoveOwnFolder(const std::string& folder)
{
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                ::unlink((folder + kPathSeparator + entry->d_name).c_str());
        }
        ::closedir(dir);
    }
    return ::rmdir(folder.c_str()) == 0 || errno == ENOENT;
}

// Removes the temporary at path, a file or a folder of ours; true when it
// is gone.
bool RemoveEntry(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT;
    if (S_ISDIR(st.st_mode))
        return RemoveOwnFolder(path);
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

// A made folder or file, noted first; the journal entry goes again when it
// cannot be made.
template <class Name, class Make>
std::string MakeNoted(Name name, Make make)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = name();
        NoteTemp(path);
        if (make(path))
            return path;
        const int error = errno;
        ForgetTemp(path);
        errno = error;
        if (error != EEXIST)
            return std::string();
    }
    return std::string();
}

bool MakeFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0700) == 0;
}

}  // namespace

std::string OwnTempPrefix(long pid)
{
    return kProgramPrefix + std::to_string(pid) + "-" + MachineTag() + "-";
}

std::string NewTempName(const std::string& extension)
{
    // Built up in place: GCC 12 warns falsely (-Wrestrict) on "." + text.
    std::string name(1, '.');
    name += OwnTempPrefix(CurrentProcessId());
    name += RandomLetters();
    name += extension;
    return name;
}

void NoteTemp(const std::string& path)
{
    const int saved = errno;
    CreateFolders(JournalFolder());
    const std::string target = AbsolutePath(path);
    WriteJournalEntry(EntryFor(target), target);
    errno = saved;
}

void ForgetTemp(const std::string& path)
{
    const int saved = errno;
    ::unlink(EntryFor(AbsolutePath(path)).c_str());
    errno = saved;
}

std::string CreateTempFile(const std::string& folder, const std::string& extension)
{
    auto name = [&] { return folder + NewTempName(extension); };
    return MakeNoted(name, [](const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    });
}

std::string CreateTempFolder()
{
    // In the shared temporary folder, without the leading dot.
    auto name = [] { return GetTempFolder() + OwnTempPrefix(CurrentProcessId()) + RandomLetters(); };
    return MakeNoted(name, MakeFolder);
}

std::string CreateTempFolderIn(const std::string& folder)
{
    auto name = [&] { return folder + NewTempName(""); };
    return MakeNoted(name, MakeFolder);
}

bool RemoveTemp(const std::string& path)
{
    if (!RemoveEntry(path))
        return false;
    ForgetTemp(path);
    return true;
}

void RemoveStaleTemporaries()
{
    const std::string journal = JournalFolder();
    DIR* dir = ::opendir(journal.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        // "<pid>-<tag>-<hash>", or "<pid>-<hash>" from before machine tags.
        const std::string name = entry->d_name;
        const size_t dash = name.find('-');
        if (dash == std::string::npos || dash == 0)
            continue;
        const long pid = std::atol(name.substr(0, dash).c_str());
        const size_t second = name.find('-', dash + 1);
        if (second != std::string::npos && name.substr(dash + 1, second - dash - 1) != MachineTag())
            continue;  // another machine's, through a shared home folder
        if (pid <= 0 || ProcessRuns(pid))
            continue;
        const std::string link = journal + name;
        const std::string target = ReadJournalEntry(link);
        // Only a name this program gives its temporaries, with that
        // process's id in it, is ever removed; one that cannot be removed
        // now stays noted.
        long namedPid = 0;
        std::string tag;
        if (!target.empty() && ParseTempName(BaseName(target), namedPid, tag) && namedPid == pid &&
            tag == MachineTag() && !RemoveEntry(target))
            continue;
        ::unlink(link.c_str());
    }
    ::closedir(dir);
}

void RemoveStaleTemporariesIn(const std::string& folder)
{
    const std::string prefix = WithTrailingSeparator(folder);
    DIR* dir = ::opendir(prefix.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        long pid = 0;
        std::string tag;
        const std::string name = entry->d_name;
        if (name[0] != '.' || !ParseTempName(name, pid, tag) || tag != MachineTag() || ProcessRuns(pid))
            continue;
        RemoveEntry(prefix + name);
    }
    ::closedir(dir);
}

bool IsTemporaryInUse(const std::string& name)
{
    long pid = 0;
    std::string tag;
    return ParseTempName(name, pid, tag) && (tag != MachineTag() || ProcessRuns(pid));
}

}  // namespace pw
