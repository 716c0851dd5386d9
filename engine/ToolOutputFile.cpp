#include "engine/ToolOutputFile.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Paths.h"
#include "platform/TempFiles.h"

namespace pw {

ToolOutputFile::ToolOutputFile(const std::string& destination) : destination_(destination), path_(destination)
{
    struct stat st;
    if (destination.empty()) {
        reason_ = "no destination";
        return;
    }
    if (::stat(destination.c_str(), &st) != 0)
        return;  // a new file: the tool writes it directly
    if (S_ISDIR(st.st_mode)) {
        reason_ = "destination is a folder";
        return;
    }

    // Replace the file the path leads to, not a link on the way to it.
    char real[PATH_MAX];
    if (::realpath(destination.c_str(), real) == nullptr) {
        reason_ = std::string("destination unreadable: ") + ::strerror(errno);
        return;
    }
    destination_ = real;
    mode_ = st.st_mode & 07777;

    const PathParts parts = SplitPath(destination_);
    path_ = CreateTempFile(parts.drive + parts.dir, ".tif");
    if (path_.empty()) {
        reason_ = std::string("cannot write in the destination folder: ") + ::strerror(errno);
        return;
    }
    temporary_ = true;
}

ToolOutputFile::~ToolOutputFile()
{
    if (committed_ || !ok())
        return;
    struct stat st;
    if (temporary_ || (::lstat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)))
        ::unlink(path_.c_str());
    if (temporary_)
        ForgetTemp(path_);
}

bool ToolOutputFile::HasContent() const
{
    return IsNonEmptyFile(path_);
}

bool IsNonEmptyFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

bool ToolOutputFile::Commit()
{
    if (!ok())
        return false;
    if (temporary_) {
        ::chmod(path_.c_str(), mode_);
        if (::rename(path_.c_str(), destination_.c_str()) != 0) {
            reason_ = std::string("cannot replace the destination: ") + ::strerror(errno);
            ::unlink(path_.c_str());
            ForgetTemp(path_);
            committed_ = true;  // nothing left to remove
            return false;
        }
        ForgetTemp(path_);
    }
    committed_ = true;
    return true;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
}

}  // namespace pw
