#include "platform/ReplacementFile.h"

#include <errno.h>

#include <cstring>

#include "platform/Paths.h"
#include "platform/ProtectedFiles.h"
#include "platform/TempFiles.h"

namespace pw {

ReplacementFile::ReplacementFile(const std::string& target, const std::string& extension) : target_(target)
{
    const PathParts parts = SplitPath(target);
    folder_ = parts.drive + parts.dir;
    name_ = parts.fname + parts.ext;
    if (name_.empty()) {
        reason_ = target + " names a folder, not a file";
        return;
    }
    if (!OpenFolder()) {
        reason_ = std::string("cannot write in the folder of ") + target + ": " + std::strerror(errno);
        return;
    }
    const int kind = TargetKind(mode_);
    if (kind == 3 || (kind < 0 && errno != ENOENT)) {
        reason_ = target + " is not a regular file";
        return;
    }
    replaces_ = kind == 1;
    if (!MakeTemporary(extension))
        reason_ = std::string("cannot write in the folder of ") + target + ": " + std::strerror(errno);
}

ReplacementFile::~ReplacementFile()
{
    if (!path_.empty() && RemoveTemporary())
        ForgetTemp(path_);
    Close();
}

bool ReplacementFile::Commit()
{
    if (path_.empty())
        return false;
    if (!IsIntact()) {
        reason_ = "the file being written beside " + target_ + " was removed or replaced";
        return false;
    }
    if (!FolderStillAtItsPath()) {
        reason_ = "the folder of " + target_ + " was moved or replaced";
        return false;
    }
    if (const std::string refusal = ProtectedFiles::Refusal(target_); !refusal.empty()) {
        reason_ = "not put in place: " + refusal;
        return false;
    }
    GiveMode();
    if (!RenameIntoPlace()) {
        reason_ = "cannot replace " + target_ + ": " + std::strerror(errno);
        return false;
    }
    ForgetTemp(path_);
    path_.clear();
    Close();
    return true;
}

}  // namespace pw
