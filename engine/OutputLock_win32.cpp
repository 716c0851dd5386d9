#include "engine/OutputLock.h"

#include <windows.h>

#include "platform/WideText_win32.h"

namespace pw {
namespace {

// Opens the file without keeping anyone else from reading, writing,
// replacing or removing it.
HANDLE OpenShared(const std::wstring& path, DWORD disposition)
{
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string SystemMessage(DWORD code)
{
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = text ? Narrow(text) : "error " + std::to_string(code);
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message;
}

}  // namespace

// A byte-range lock here would keep the tools from writing the file and a
// held handle from replacing it; the mark is instead a named event whose
// name is the file's identity (volume and file index). It lasts while a
// handle to it is open, so it ends with the batch or with the process.
std::shared_ptr<OutputLock> OutputLock::Acquire(const std::string& path, std::string* error)
{
    std::shared_ptr<OutputLock> lock(new OutputLock);
    lock->path_ = path;
    const std::wstring wide = Widen(path);
    HANDLE file = OpenShared(wide, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        file = OpenShared(wide, CREATE_NEW);
        lock->created_ = file != INVALID_HANDLE_VALUE;
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS)
            file = OpenShared(wide, OPEN_EXISTING);
    }
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        // A file that cannot be created here cannot be written by anyone
        // else either; the batch reports why when it tries.
        if (code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT || code == ERROR_PATH_NOT_FOUND)
            return lock;
        *error = "cannot open the output file " + path + ": " + SystemMessage(code);
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular = ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &info) &&
                         !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    ::CloseHandle(file);
    if (!regular) {
        *error = "the output file " + path + " is not a regular file";
        return nullptr;
    }
    const std::wstring name = L"Local\\pagewright-output-" + std::to_wstring(info.dwVolumeSerialNumber) + L"-" +
                              std::to_wstring((static_cast<unsigned long long>(info.nFileIndexHigh) << 32) |
                                              info.nFileIndexLow);
    HANDLE mark = ::CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    const DWORD code = ::GetLastError();
    if (mark == nullptr) {
        *error = "cannot lock the output file " + path + ": " + SystemMessage(code);
        return nullptr;
    }
    if (code == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mark);
        lock->created_ = false;
        *error = "the output file " + path + " is being written by another batch";
        return nullptr;
    }
    lock->mark_ = mark;
    return lock;
}

OutputLock::~OutputLock()
{
    if (!mark_)
        return;
    if (created_) {
        // Removed only while it is still the empty file made here.
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (::GetFileAttributesExW(Widen(path_).c_str(), GetFileExInfoStandard, &data) && data.nFileSizeHigh == 0 &&
            data.nFileSizeLow == 0)
            ::DeleteFileW(Widen(path_).c_str());
    }
    ::CloseHandle(static_cast<HANDLE>(mark_));
}

}  // namespace pw
