#pragma once
// An advisory lock on the file a batch writes, held for the whole batch, so
// that a second batch (in this or another process) refuses to write the
// same file at the same time.

#include <memory>
#include <string>

namespace pw {

class OutputLock {
public:
    // Locks the file at path, creating it empty when it does not exist. Null,
    // with the reason in *error, when another batch holds the lock, when
    // something other than a regular file is at the path, or when the file
    // can be neither opened nor created.
    static std::shared_ptr<OutputLock> Acquire(const std::string& path, std::string* error);

    // Releases the lock. An empty file that Acquire created and that nothing
    // has replaced since is removed again.
    ~OutputLock();
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;

private:
    OutputLock() = default;

    std::string path_;
    int fd_ = -1;             // POSIX: the locked file
    void* mark_ = nullptr;    // Windows: the named object that marks the file as taken
    bool created_ = false;
};

}  // namespace pw
