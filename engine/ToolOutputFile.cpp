#include "engine/ToolOutputFile.h"

#include <sys/stat.h>

#include "platform/ReplacementFile.h"

namespace pw {

ToolOutputFile::ToolOutputFile(const std::string& destination)
{
    struct stat st;
    if (destination.empty()) {
        reason_ = "no destination";
        return;
    }
    if (::lstat(destination.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        reason_ = "destination is a folder";
        return;
    }
    file_ = std::make_unique<ReplacementFile>(destination, ".tif");
    if (!file_->ok())
        reason_ = file_->reason();
}

ToolOutputFile::~ToolOutputFile() = default;

const std::string& ToolOutputFile::path() const
{
    static const std::string none;
    return file_ ? file_->path() : none;
}

bool ToolOutputFile::HasContent() const
{
    return file_ && file_->IsIntact() && IsNonEmptyFile(file_->path());
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
    if (!file_->Commit()) {
        reason_ = file_->reason();
        return false;
    }
    return true;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
}

}  // namespace pw
