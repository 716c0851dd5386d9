#include "engine/RemoveFolderTree.h"

#include <windows.h>

#include "platform/TempFiles.h"
#include "platform/WideText_win32.h"

namespace pw {
namespace {

// A junction or a symbolic link (to a file or a folder) is removed as the
// link itself: the entry goes, whatever it points at stays.
bool RemoveEntry(const std::wstring& path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ::RemoveDirectoryW(path.c_str()) != 0;
    return ::DeleteFileW(path.c_str()) != 0;
}

void EmptyFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            EmptyFolder(path);
        RemoveEntry(path, attributes);
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

// The first entry below the folder whose name is a temporary another batch
// is writing; links and junctions are not entered.
std::string FindTemporaryInUse(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return std::string();
    std::string found;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (IsTemporaryInUse(Narrow(name)))
            found = Narrow(path);
        else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            found = FindTemporaryInUse(path);
    } while (found.empty() && ::FindNextFileW(find, &entry));
    ::FindClose(find);
    return found;
}

}  // namespace

bool RemoveFolderTree(const std::string& folder)
{
    if (folder.empty())
        return false;
    const std::wstring path = Widen(folder);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return RemoveEntry(path, attributes);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    EmptyFolder(path);
    return RemoveEntry(path, attributes);
}

}  // namespace pw

namespace pw {

// A junction or a mounted volume inside is removed as a link, never
// entered, so it is no obstacle here.
std::string FolderRemovalObstacle(const std::string& folder)
{
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(Widen(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return std::string();
    const std::string found = FindTemporaryInUse(Widen(folder));
    return found.empty() ? std::string() : folder + " holds " + found + ", which another batch is writing";
}

}  // namespace pw
