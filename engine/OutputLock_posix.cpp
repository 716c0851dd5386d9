#include "engine/OutputLock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/Paths.h"

namespace pw {
namespace {

constexpr char kLockPrefix[] = ".pagewright-lock-";
constexpr size_t kMaxName = 255;

std::string LockName(const std::string& fileName)
{
    const std::string name = kLockPrefix + fileName;
    if (name.size() <= kMaxName)
        return name;
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016zx", std::hash<std::string>()(fileName));
    return kLockPrefix + std::string(hash);
}

bool IsLockName(const std::string& name)
{
    return name.compare(0, sizeof kLockPrefix - 1, kLockPrefix) == 0;
}

// An open-file-description lock over the whole file: it belongs to the
// descriptor, not to the process, so two batches of one process exclude
// each other too, and it ends when the descriptor is closed.
struct flock WholeFile(short type)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool LockedByAnyone(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock lock = WholeFile(F_WRLCK);
    const bool held = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

}  // namespace

std::shared_ptr<OutputLock> OutputLock::Acquire(const std::string& path, std::string* error)
{
    std::shared_ptr<OutputLock> lock(new OutputLock);
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
        *error = "the output file " + path + " is not a regular file";
        return nullptr;
    }
    const PathParts parts = SplitPath(path);
    const std::string lockPath = parts.drive + parts.dir + LockName(parts.fname + parts.ext);
    // A lock file removed by its holder between our open and our lock is
    // locked in vain: the lock counts only while the name still leads to it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EACCES || errno == EROFS || errno == ENOENT || errno == EPERM)
                return lock;
            *error = "cannot lock the output file " + path + ": " + std::strerror(errno);
            return nullptr;
        }
        struct flock whole = WholeFile(F_WRLCK);
        struct stat held;
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            *error = "cannot lock the output file " + path + ": " + lockPath + " is not a regular file";
            return nullptr;
        }
        if (::fcntl(fd, F_OFD_SETLK, &whole) != 0) {
            const int code = errno;
            ::close(fd);
            *error = code == EAGAIN || code == EACCES
                         ? "the output file " + path + " is being written by another batch"
                         : "cannot lock the output file " + path + ": " + std::strerror(code);
            return nullptr;
        }
        struct stat now;
        if (::lstat(lockPath.c_str(), &now) == 0 && SameFile(held, now)) {
            lock->fd_ = fd;
            lock->lockPath_ = lockPath;
            return lock;
        }
        ::close(fd);
    }
    *error = "cannot lock the output file " + path + ": its lock file keeps changing";
    return nullptr;
}

OutputLock::~OutputLock()
{
    if (fd_ < 0)
        return;
    struct stat held;
    struct stat now;
    if (::fstat(fd_, &held) == 0 && ::lstat(lockPath_.c_str(), &now) == 0 && SameFile(held, now))
        ::unlink(lockPath_.c_str());
    ::close(fd_);
}

bool OutputLock::IsInUse(const std::string& folder, const std::string& name)
{
    return IsLockName(name) && LockedByAnyone(WithTrailingSeparator(folder) + name);
}

void OutputLock::RemoveStaleIn(const std::string& folder)
{
    const std::string prefix = WithTrailingSeparator(folder);
    DIR* dir = ::opendir(prefix.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st;
        if (IsLockName(name) && ::lstat((prefix + name).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            !LockedByAnyone(prefix + name))
            ::unlink((prefix + name).c_str());
    }
    ::closedir(dir);
}

}  // namespace pw
