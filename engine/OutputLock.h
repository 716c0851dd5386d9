#pragma once
// A lock on the name of the file a merge writes, held for the whole batch,
// so that a second batch (in this or another process) refuses to write to
// the same path at the same time. It is a name that is locked, not a file:
// whatever takes the file's place meanwhile (a rename over it by any
// program), the path stays taken until the batch ends. It does not keep
// other programs from writing the file.

#include <memory>
#include <string>

namespace pw {

class OutputLock {
public:
    // Locks the path. Null, with the reason in *error, when another batch
    // holds it, or when the lock cannot be taken. In a folder where nothing
    // can be created no other batch can write either; the lock then holds
    // nothing and the batch reports why it cannot write.
    static std::shared_ptr<OutputLock> Acquire(const std::string& path, std::string* error);

    // Releases the lock and removes what it made.
    ~OutputLock();
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;

    // True when the entry name of a folder is one of the files the lock
    // uses (POSIX: ".pagewright-lock-<file name>"), and a batch holds it.
    static bool IsInUse(const std::string& folder, const std::string& name);

    // Removes the lock files of the folder that no batch holds (left by a
    // killed one).
    static void RemoveStaleIn(const std::string& folder);

private:
    OutputLock() = default;

    std::string lockPath_;    // POSIX: the file beside the output
    int fd_ = -1;             // POSIX: that file, locked
    void* mark_ = nullptr;    // Windows: the named object that marks the path as taken
};

}  // namespace pw
