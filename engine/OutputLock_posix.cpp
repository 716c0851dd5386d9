#include "engine/OutputLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pw {

std::shared_ptr<OutputLock> OutputLock::Acquire(const std::string& path, std::string* error)
{
    std::shared_ptr<OutputLock> lock(new OutputLock);
    lock->path_ = path;
    // O_NONBLOCK: a FIFO at the path must not block the open; it is refused below.
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    lock->fd_ = ::open(path.c_str(), kFlags);
    if (lock->fd_ < 0 && errno == ENOENT) {
        lock->fd_ = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
        lock->created_ = lock->fd_ >= 0;
        if (lock->fd_ < 0 && errno == EEXIST)
            lock->fd_ = ::open(path.c_str(), kFlags);
    }
    if (lock->fd_ < 0) {
        // A file that cannot be created here cannot be written by anyone
        // else either; the batch reports why when it tries.
        if (errno == EACCES || errno == EROFS || errno == ENOENT)
            return lock;
        *error = "cannot open the output file " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat st;
    if (::fstat(lock->fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = "the output file " + path + " is not a regular file";
        return nullptr;
    }
    if (::flock(lock->fd_, LOCK_EX | LOCK_NB) != 0) {
        *error = errno == EWOULDBLOCK ? "the output file " + path + " is being written by another batch"
                                      : "cannot lock the output file " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    return lock;
}

OutputLock::~OutputLock()
{
    if (fd_ < 0)
        return;
    if (created_) {
        struct stat held;
        struct stat now;
        if (::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
            held.st_ino == now.st_ino && now.st_size == 0)
            ::unlink(path_.c_str());
    }
    ::close(fd_);
}

}  // namespace pw
