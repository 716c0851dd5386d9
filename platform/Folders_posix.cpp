#include "platform/Folders.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>

namespace pw {

bool IsMountPoint(const std::string& path)
{
    struct statx entry;
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_MNT_ID, &entry) != 0 ||
        !S_ISDIR(entry.stx_mode))
        return false;
    if (entry.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT)
        return (entry.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    // Kernels before 5.8: a mount of another file system at least.
    struct statx parent;
    return ::statx(AT_FDCWD, (path + "/..").c_str(), 0, STATX_TYPE, &parent) == 0 &&
           (parent.stx_dev_major != entry.stx_dev_major || parent.stx_dev_minor != entry.stx_dev_minor);
}

bool ReplaceEmptyFolder(const std::string& from, const std::string& to)
{
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace pw
