#include "platform/ReplacementFile.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/Paths.h"
#include "platform/TempFiles.h"

namespace pw {

ReplacementFile::ReplacementFile(const std::string& target, const std::string& extension) : target_(target)
{
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            reason_ = target + " is not a regular file";
            return;
        }
        char real[PATH_MAX];
        if (::realpath(target.c_str(), real) != nullptr)
            target_ = real;
        replaces_ = true;
        mode_ = st.st_mode & 07777;
    }
    const PathParts parts = SplitPath(target_);
    path_ = CreateTempFile(parts.drive + parts.dir, extension);
    if (path_.empty())
        reason_ = std::string("cannot write in the folder of ") + target + ": " + std::strerror(errno);
}

ReplacementFile::~ReplacementFile()
{
    if (path_.empty())
        return;
    ::unlink(path_.c_str());
    ForgetTemp(path_);
}

bool ReplacementFile::Commit()
{
    if (path_.empty())
        return false;
    GiveReplacementMode(path_, replaces_, mode_);
    if (::rename(path_.c_str(), target_.c_str()) != 0) {
        reason_ = "cannot replace " + target_ + ": " + std::strerror(errno);
        return false;
    }
    ForgetTemp(path_);
    path_.clear();
    return true;
}

}  // namespace pw
