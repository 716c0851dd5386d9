#include "platform/Folders.h"

#include <windows.h>

#include <cerrno>

#include "platform/WideText_win32.h"

namespace pw {

bool IsMountPoint(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A folder cannot be renamed onto another here: the empty one goes first.
bool ReplaceEmptyFolder(const std::string& from, const std::string& to)
{
    const std::wstring target = Widen(to);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            errno = ENOTDIR;
            return false;
        }
        if (!::RemoveDirectoryW(target.c_str())) {
            errno = ::GetLastError() == ERROR_DIR_NOT_EMPTY ? ENOTEMPTY : EACCES;
            return false;
        }
    }
    if (::MoveFileExW(Widen(from).c_str(), target.c_str(), 0))
        return true;
    errno = EACCES;
    return false;
}

}  // namespace pw
