#include "platform/UserFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/Paths.h"
#include "platform/WideText_win32.h"

namespace pw {
namespace {

std::string KnownFolder(REFKNOWNFOLDERID id)
{
    PWSTR path = nullptr;
    std::string result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        result = Narrow(path);
    ::CoTaskMemFree(path);
    return result;
}

std::string FromEnvironment(const wchar_t* name)
{
    const wchar_t* value = ::_wgetenv(name);
    return value != nullptr ? Narrow(value) : std::string();
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

}  // namespace

std::string GetTempFolder()
{
    wchar_t buffer[MAX_PATH + 2];
    const DWORD n = ::GetTempPathW(MAX_PATH + 2, buffer);
    std::string folder = (n > 0 && n <= MAX_PATH + 1) ? Narrow(std::wstring(buffer, n)) : std::string("C:\\");
    return WithTrailingSeparator(folder);
}

std::string GetHomeFolder()
{
    std::string home = KnownFolder(FOLDERID_Profile);
    if (home.empty())
        home = FromEnvironment(L"USERPROFILE");
    while (home.size() > 3 && IsSeparator(home.back()))
        home.pop_back();
    return home;
}

// The roaming application data folder, where a Windows program keeps its
// per-user settings.
std::string GetUserConfigFolder()
{
    std::string base = KnownFolder(FOLDERID_RoamingAppData);
    if (base.empty())
        base = FromEnvironment(L"APPDATA");
    if (base.empty())
        base = GetHomeFolder();
    return WithTrailingSeparator(WithTrailingSeparator(base) + "Pagewright");
}

bool CreateFolders(const std::string& folder)
{
    if (folder.empty())
        return false;
    // Past the drive ("C:\") or the server and share of a UNC path.
    size_t pos = 0;
    if (folder.size() >= 2 && folder[1] == ':')
        pos = 2;
    else if (folder.rfind("\\\\", 0) == 0) {
        pos = folder.find_first_of("\\/", 2);
        pos = pos == std::string::npos ? folder.size() : folder.find_first_of("\\/", pos + 1);
    }
    while (pos != std::string::npos && pos < folder.size()) {
        pos = folder.find_first_of("\\/", pos + 1);
        const std::string path = folder.substr(0, pos);
        if (path.empty() || IsFolder(path))
            continue;
        if (!::CreateDirectoryW(Widen(path).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return IsFolder(folder);
}

// Folder permissions on Windows live in access lists the read-only attribute
// does not show; creating a file is the only sure test.
bool IsFolderWritable(const std::string& folder)
{
    if (folder.empty() || !IsFolder(folder))
        return false;
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::wstring probe = Widen(WithTrailingSeparator(folder)) + L".pagewright-probe-"
                                   + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
        HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

}  // namespace pw
