#include "platform/ReplacementFile.h"

#include <windows.h>

#include <cerrno>

#include "platform/TempFiles.h"
#include "platform/WideText_win32.h"

namespace pw {
namespace {

// The volume and the file id of what is at the path, the entry itself (a
// link as the link); false when nothing can be opened there. The file id
// carries a sequence number, so a file made anew under the same name has
// another one.
bool EntryIdentity(const std::string& path, uint64_t identity[2], DWORD* attributes = nullptr)
{
    HANDLE h = ::CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!ok)
        return false;
    identity[0] = info.dwVolumeSerialNumber;
    identity[1] = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    if (attributes != nullptr)
        *attributes = info.dwFileAttributes;
    return true;
}

}  // namespace

// Every step goes by path: a handle held on the folder or the temporary
// would keep them from being renamed.
bool ReplacementFile::OpenFolder()
{
    const DWORD attributes = ::GetFileAttributesW(Widen(folder_.empty() ? "." : folder_).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = ENOENT;
        return false;
    }
    return true;
}

bool ReplacementFile::MakeTemporary(const std::string& extension)
{
    path_ = CreateTempFile(folder_, extension);
    if (path_.empty())
        return false;
    tempName_ = path_.substr(folder_.size());
    if (!EntryIdentity(path_, identity_)) {
        RemoveTemporary();
        ForgetTemp(path_);
        path_.clear();
        errno = EACCES;
        return false;
    }
    return true;
}

int ReplacementFile::TargetKind(mode_t& mode) const
{
    uint64_t identity[2];
    DWORD attributes = 0;
    if (!EntryIdentity(target_, identity, &attributes)) {
        const DWORD code = ::GetLastError();
        errno = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return errno == ENOENT ? 0 : -1;
    }
    mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return 2;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 3 : 1;
}

bool ReplacementFile::IsIntact() const
{
    uint64_t now[2];
    return !path_.empty() && EntryIdentity(path_, now) && now[0] == identity_[0] && now[1] == identity_[1];
}

bool ReplacementFile::FolderStillAtItsPath() const
{
    return true;  // every step goes by path here
}

void ReplacementFile::GiveMode()
{
    // The new file keeps the attributes it was made with.
}

bool ReplacementFile::RenameIntoPlace()
{
    // An entry at the target is replaced as it is: a link as the link.
    if (::MoveFileExW(Widen(path_).c_str(), Widen(target_).c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    errno = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
}

bool ReplacementFile::RemoveTemporary()
{
    return ::DeleteFileW(Widen(path_).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

void ReplacementFile::Close() {}

}  // namespace pw
