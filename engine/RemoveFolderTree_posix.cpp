#include "engine/RemoveFolderTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

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

// Empties the folder without leaving the file system `device`: a folder on
// which another file system is mounted is left as it is, with all inside.
void EmptyFolder(int folderFd, dev_t device)
{
    MakeOwnerAccessible(folderFd);
    for (const std::string& name : EntryNames(folderFd)) {
        struct stat st;
        if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (st.st_dev != device)
                continue;
            const int childFd = OpenSubFolder(folderFd, name.c_str());
            struct stat opened;
            if (childFd >= 0 && ::fstat(childFd, &opened) == 0 && opened.st_dev == device)
                EmptyFolder(childFd, device);
            if (childFd >= 0)
                ::close(childFd);
            ::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folderFd, name.c_str(), 0);
        }
    }
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
    if (fd >= 0) {
        struct stat opened;
        if (::fstat(fd, &opened) == 0)
            EmptyFolder(fd, opened.st_dev);
        ::close(fd);
    }
    return ::rmdir(folder.c_str()) == 0;
}

}  // namespace pw
