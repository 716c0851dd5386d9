#include "engine/SplitStaging.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/Folders.h"
#include "platform/Paths.h"
#include "platform/ProtectedFiles.h"
#include "platform/TempFiles.h"

namespace pw {
namespace {

std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string SplitFolderOf(const std::string& output)
{
    const PathParts parts = SplitPath(output);
    std::string folder = parts.drive + parts.dir;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == kPathSeparator))
        folder.pop_back();
    return folder;
}

}  // namespace

void SplitStaging::RemoveUnusedSplitFolder(const std::string& output)
{
    const std::string folder = SplitFolderOf(output);
    if (!folder.empty())
        ::rmdir(folder.c_str());
}

SplitStaging::SplitStaging(const std::string& output)
{
    const PathParts parts = SplitPath(output);
    splitFolder_ = SplitFolderOf(output);
    const PathParts above = SplitPath(splitFolder_);
    folder_ = CreateTempFolderIn(above.drive + above.dir);
    if (folder_.empty()) {
        reason_ = "cannot write beside the folder " + splitFolder_ + ": " + std::strerror(errno);
        return;
    }
    output_ = folder_ + kPathSeparator + parts.fname + parts.ext;
}

SplitStaging::~SplitStaging()
{
    if (!folder_.empty())
        RemoveTemp(folder_);
    // The batch made the split folder for this entry: one that got no page
    // file goes again (only an empty folder can be removed).
    if (placed_.empty() && !splitFolder_.empty())
        ::rmdir(splitFolder_.c_str());
}

bool SplitStaging::Commit()
{
    if (folder_.empty())
        return false;
    struct stat st;
    if (::lstat(splitFolder_.c_str(), &st) == 0 && (!S_ISDIR(st.st_mode) || IsMountPoint(splitFolder_))) {
        reason_ = "the folder " + splitFolder_ + " has become a link or a mount point; the pages are not put there";
        return false;
    }
    const std::vector<std::string> pages = FileNames(folder_);
    const bool existed = ::lstat(splitFolder_.c_str(), &st) == 0;
    if (existed)
        ::chmod(folder_.c_str(), st.st_mode & 07777);
    if (ReplaceEmptyFolder(folder_, splitFolder_)) {
        ForgetTemp(folder_);
        folder_.clear();
        for (const std::string& page : pages)
            placed_.push_back(splitFolder_ + kPathSeparator + page);
        return true;
    }
    if (errno != ENOTEMPTY && errno != EEXIST) {
        reason_ = "cannot put the page files into " + splitFolder_ + ": " + std::strerror(errno);
        return false;
    }
    // Something stayed in the split folder: the pages move in one by one.
    for (const std::string& page : pages) {
        const std::string target = splitFolder_ + kPathSeparator + page;
        if (const std::string refusal = ProtectedFiles::Refusal(target); !refusal.empty()) {
            reason_ = "not put in place: " + refusal;
            TakeBack();
            return false;
        }
        if (::rename((folder_ + kPathSeparator + page).c_str(), target.c_str()) != 0) {
            reason_ = "cannot put " + page + " into " + splitFolder_ + ": " + std::strerror(errno);
            TakeBack();
            return false;
        }
        placed_.push_back(target);
    }
    return true;
}

void SplitStaging::TakeBack()
{
    for (const std::string& page : placed_)
        ::unlink(page.c_str());
    placed_.clear();
}

}  // namespace pw
