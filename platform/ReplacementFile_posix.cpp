#include "platform/ReplacementFile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "platform/TempFiles.h"

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

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool ReplacementFile::OpenFolder()
{
    folderFd_ = ::open(folder_.empty() ? "." : folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return folderFd_ >= 0;
}

bool ReplacementFile::MakeTemporary(const std::string& extension)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = NewTempName(extension);
        NoteTemp(folder_ + name);
        heldFd_ = ::openat(folderFd_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (heldFd_ >= 0) {
            tempName_ = name;
            path_ = folder_ + name;
            return true;
        }
        const int error = errno;
        ForgetTemp(folder_ + name);
        errno = error;
        if (error != EEXIST)
            return false;
    }
    return false;
}

int ReplacementFile::TargetKind(mode_t& mode) const
{
    struct stat st;
    if (::fstatat(folderFd_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : -1;
    mode = st.st_mode & 07777;
    return S_ISREG(st.st_mode) ? 1 : S_ISLNK(st.st_mode) ? 2 : 3;
}

bool ReplacementFile::IsIntact() const
{
    struct stat held;
    struct stat now;
    return heldFd_ >= 0 && ::fstat(heldFd_, &held) == 0 && held.st_nlink > 0 &&
           ::lstat(path_.c_str(), &now) == 0 && SameFile(held, now);
}

bool ReplacementFile::FolderStillAtItsPath() const
{
    struct stat held;
    struct stat now;
    return ::fstat(folderFd_, &held) == 0 && ::stat(folder_.empty() ? "." : folder_.c_str(), &now) == 0 &&
           SameFile(held, now);
}

void ReplacementFile::GiveMode()
{
    ::fchmod(heldFd_, replaces_ ? mode_ : (0666 & ~CurrentUmask()));
}

bool ReplacementFile::RenameIntoPlace()
{
    return ::renameat(folderFd_, tempName_.c_str(), folderFd_, name_.c_str()) == 0;
}

bool ReplacementFile::RemoveTemporary()
{
    // A folder made again at the path may hold a file a writer started
    // anew under the temporary's name: ours too.
    if (!FolderStillAtItsPath()) {
        struct stat st;
        if (::lstat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(path_.c_str());
    }
    return ::unlinkat(folderFd_, tempName_.c_str(), 0) == 0 || errno == ENOENT;
}

void ReplacementFile::Close()
{
    for (int* fd : {&heldFd_, &folderFd_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

}  // namespace pw
