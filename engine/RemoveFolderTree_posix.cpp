#include "engine/RemoveFolderTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <vector>

#include "engine/OutputLock.h"
#include "platform/TempFiles.h"

namespace pw {
namespace {

constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

std::vector<std::string> EntryNames(int folderFd)
{
    std::vector<std::string> names;
    const int streamFd = ::dup(folderFd);
    if (streamFd < 0)
        return names;
    DIR* stream = ::fdopendir(streamFd);
    if (stream == nullptr) {
        ::close(streamFd);
        return names;
    }
    while (const dirent* entry = ::readdir(stream)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    ::closedir(stream);
    return names;
}

// The mount a folder belongs to. A folder whose mount differs from its
// parent's, or that the kernel marks as the root of a mount, is a mount
// point; where the kernel tells neither (before 5.8), a change of device
// at least is seen.
struct Mount {
    uint64_t id = 0;
    bool idKnown = false;
    dev_t device = 0;
};

bool StatEntry(int folderFd, const char* name, struct statx& st)
{
    return ::statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MNT_ID, &st) == 0;
}

bool StatFolder(int fd, struct statx& st)
{
    return ::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_MNT_ID, &st) == 0;
}

Mount MountOf(const struct statx& st)
{
    Mount mount;
    mount.idKnown = (st.stx_mask & STATX_MNT_ID) != 0;
    mount.id = st.stx_mnt_id;
    mount.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    return mount;
}

bool IsMountRoot(const struct statx& st)
{
    return (st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (st.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

bool LeavesMount(const struct statx& st, const Mount& mount)
{
    const Mount other = MountOf(st);
    return IsMountRoot(st) || other.device != mount.device || (mount.idKnown && other.idKnown && other.id != mount.id);
}

// Entries can only be removed from a folder the user may write and search.
void MakeOwnerAccessible(int folderFd)
{
    struct stat st;
    if (::fstat(folderFd, &st) == 0 && (st.st_mode & S_IRWXU) != S_IRWXU)
        ::fchmod(folderFd, (st.st_mode & 07777) | S_IRWXU);
}

// Opens the sub-folder name of parentFd without following a link; a folder
// the user cannot read is made readable first.
int OpenSubFolder(int parentFd, const char* name)
{
    int fd = ::openat(parentFd, name, kOpenFolder);
    if (fd < 0 && errno == EACCES) {
        struct stat st;
        if (::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            ::fchmodat(parentFd, name, (st.st_mode & 07777) | S_IRWXU, 0);
            fd = ::openat(parentFd, name, kOpenFolder);
        }
    }
    return fd;
}

// Opens the sub-folder when it is one of the mount; -1 otherwise (also for
// a mount point put there between the look and the open).
int OpenSameMount(int parentFd, const char* name, const Mount& mount)
{
    const int fd = OpenSubFolder(parentFd, name);
    struct statx opened;
    if (fd >= 0 && (!StatFolder(fd, opened) || LeavesMount(opened, mount))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void EmptyFolder(int folderFd, const Mount& mount)
{
    MakeOwnerAccessible(folderFd);
    for (const std::string& name : EntryNames(folderFd)) {
        struct statx st;
        if (!StatEntry(folderFd, name.c_str(), st))
            continue;
        if (S_ISDIR(st.stx_mode)) {
            if (LeavesMount(st, mount))
                continue;
            const int childFd = OpenSameMount(folderFd, name.c_str(), mount);
            if (childFd < 0)
                continue;
            EmptyFolder(childFd, mount);
            ::close(childFd);
            ::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folderFd, name.c_str(), 0);
        }
    }
}

// Calls visit for every entry below the folder, depth first, without
// entering a link or a mount point; stops at the first visit that gives a
// reason, and gives it.
std::string FindInFolder(int folderFd, const std::string& path, const Mount& mount,
                         const std::function<std::string(const std::string&, const std::string&, bool)>& visit)
{
    for (const std::string& name : EntryNames(folderFd)) {
        struct statx st;
        if (!StatEntry(folderFd, name.c_str(), st))
            continue;
        const std::string entry = path + "/" + name;
        const bool mountPoint = S_ISDIR(st.stx_mode) && LeavesMount(st, mount);
        if (std::string reason = visit(path, name, mountPoint); !reason.empty())
            return reason;
        if (!S_ISDIR(st.stx_mode) || mountPoint)
            continue;
        const int childFd = ::openat(folderFd, name.c_str(), kOpenFolder);
        if (childFd < 0)
            continue;
        std::string reason = FindInFolder(childFd, entry, mount, visit);
        ::close(childFd);
        if (!reason.empty())
            return reason;
    }
    return std::string();
}

}  // namespace

bool RemoveFolderTree(const std::string& folder)
{
    struct stat st;
    if (folder.empty() || ::lstat(folder.c_str(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode))
        return ::unlink(folder.c_str()) == 0;
    if (!S_ISDIR(st.st_mode))
        return false;
    const int fd = ::open(folder.c_str(), kOpenFolder);
    if (fd < 0)
        return ::rmdir(folder.c_str()) == 0;
    struct statx opened;
    const bool mountPoint = !StatFolder(fd, opened) || IsMountRoot(opened);
    if (!mountPoint)
        EmptyFolder(fd, MountOf(opened));
    ::close(fd);
    return !mountPoint && ::rmdir(folder.c_str()) == 0;
}

std::string FolderRemovalObstacle(const std::string& folder)
{
    struct stat st;
    if (folder.empty() || ::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::string();
    const int fd = ::open(folder.c_str(), kOpenFolder);
    if (fd < 0)
        return std::string();
    struct statx opened;
    std::string reason;
    if (StatFolder(fd, opened) && IsMountRoot(opened)) {
        reason = folder + " is a mount point, which is never emptied";
    } else {
        reason = FindInFolder(fd, folder, MountOf(opened),
                              [&](const std::string& parent, const std::string& name, bool mountPoint) {
            const std::string entry = parent + "/" + name;
            if (mountPoint)
                return folder + " holds the mount point " + entry + ", which is never emptied";
            if (IsTemporaryInUse(name) || OutputLock::IsInUse(parent, name))
                return folder + " holds " + entry + ", which another batch is writing";
            return std::string();
        });
    }
    ::close(fd);
    return reason;
}

}  // namespace pw
