#include "platform/ReplacementFile.h"

#include <windows.h>

#include <cerrno>
#include <cstdint>

#include "platform/TempFiles.h"
#include "platform/WideText_win32.h"

namespace pw {
namespace {

// The volume and the file id of what a handle has open.
bool HandleIdentity(HANDLE h, uint64_t identity[2], DWORD* attributes = nullptr)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info))
        return false;
    identity[0] = info.dwVolumeSerialNumber;
    identity[1] = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    if (attributes != nullptr)
        *attributes = info.dwFileAttributes;
    return true;
}

// Opens the entry at the path itself (a link as the link) for its
// attributes only, sharing everything: it keeps nobody from reading,
// writing, renaming or removing the file.
HANDLE OpenEntry(const std::string& path)
{
    return ::CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool EntryIdentity(const std::string& path, uint64_t identity[2], DWORD* attributes = nullptr)
{
    HANDLE h = OpenEntry(path);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = HandleIdentity(h, identity, attributes);
    ::CloseHandle(h);
    return ok;
}

}  // namespace

// Every step goes by path; the temporary is held open only for its
// attributes, with every kind of sharing, so that it can still be written,
// renamed and removed, and a file made anew under its name is told apart.
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
    HANDLE held = OpenEntry(path_);
    heldHandle_ = held == INVALID_HANDLE_VALUE ? nullptr : held;
    if (heldHandle_ == nullptr) {
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
    uint64_t held[2];
    uint64_t now[2];
    return heldHandle_ != nullptr && HandleIdentity(static_cast<HANDLE>(heldHandle_), held) &&
           EntryIdentity(path_, now) && now[0] == held[0] && now[1] == held[1];
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

void ReplacementFile::Close()
{
    if (heldHandle_ != nullptr)
        ::CloseHandle(static_cast<HANDLE>(heldHandle_));
    heldHandle_ = nullptr;
}

}  // namespace pw
