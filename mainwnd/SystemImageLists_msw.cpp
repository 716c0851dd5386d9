#include "mainwnd/SystemImageLists.h"

#include "mainwnd/CFileListCtrl.h"
#include "pages/FileTypes.h"
#include "platform/Paths.h"
#include "platform/WideText_win32.h"

#include <wx/debug.h>
#include <wx/thread.h>

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <commctrl.h>

#include <string>

namespace pw {

namespace {

constexpr UINT kSmallIcon = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

// Asks the shell without looking at the disk: a name of the kind stands
// for every file of that kind.
DWORD_PTR AskShellAboutKind(const std::wstring& name, DWORD attributes, SHFILEINFOW& info, UINT flags) {
    return ::SHGetFileInfoW(name.c_str(), attributes, &info, sizeof info, flags | SHGFI_USEFILEATTRIBUTES);
}

HIMAGELIST ShellList(UINT flags) {
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(AskShellAboutKind(L"folder", FILE_ATTRIBUTE_DIRECTORY, info, flags));
}

// A default icon of "%1" (quoted or not, with or without an index) means
// the icon inside the file itself.
bool NamesTheFileItself(const wchar_t* icon) {
    while (*icon == L'"' || *icon == L' ')
        ++icon;
    return icon[0] == L'%' && icon[1] == L'1';
}

}  // namespace

SystemImageLists& SystemImageLists::Get() {
    static SystemImageLists lists;
    return lists;
}

_IMAGELIST* SystemImageLists::GetSmallList() { return ShellList(SHGFI_SYSICONINDEX | SHGFI_SMALLICON); }

_IMAGELIST* SystemImageLists::GetLargeList() { return ShellList(SHGFI_SYSICONINDEX); }

int SystemImageLists::IconIndexForPath(const std::string& path) {
    wxASSERT_MSG(wxIsMainThread(), "the shell's icons are asked for from the window's thread");
    const bool folder = IsFolder(path);
    const std::string kind = folder ? std::string() : GetFileExtension(path);
    if (!folder && !KindHasIconPerFile(kind))
        return IconIndexForKind(kind);
    const auto known = m_indexByPath.find(path);
    if (known != m_indexByPath.end())
        return known->second;
    SHFILEINFOW info{};
    int index = -1;
    if (::SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof info, kSmallIcon))
        index = info.iIcon;
    else if (folder && AskShellAboutKind(L"folder", FILE_ATTRIBUTE_DIRECTORY, info, kSmallIcon))
        index = info.iIcon;
    else if (!folder)
        index = IconIndexForKind(kind);
    m_indexByPath.emplace(path, index);
    return index;
}

int SystemImageLists::IconIndexForKind(const std::string& kind) {
    wxASSERT_MSG(wxIsMainThread(), "the shell's icons are asked for from the window's thread");
    const auto known = m_indexByKind.find(kind);
    if (known != m_indexByKind.end())
        return known->second;
    SHFILEINFOW info{};
    const std::wstring name = kind.empty() ? std::wstring(L"file") : L"file." + Widen(kind);
    const int index = AskShellAboutKind(name, FILE_ATTRIBUTE_NORMAL, info, kSmallIcon) ? info.iIcon : -1;
    m_indexByKind.emplace(kind, index);
    return index;
}

// The kind's registered default icon, or an icon handler of its own (which
// draws each file's icon, as for shortcuts).
bool SystemImageLists::KindHasIconPerFile(const std::string& kind) {
    if (kind.empty())
        return false;
    const auto known = m_iconPerFile.find(kind);
    if (known != m_iconPerFile.end())
        return known->second;
    const std::wstring extension = L"." + Widen(kind);
    bool perFile = false;
    wchar_t icon[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (::AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_DEFAULTICON, extension.c_str(), nullptr, icon, &length) == S_OK)
        perFile = NamesTheFileItself(icon);
    HKEY type = nullptr;
    if (!perFile && ::AssocQueryKeyW(ASSOCF_NONE, ASSOCKEY_CLASS, extension.c_str(), nullptr, &type) == S_OK) {
        HKEY handler = nullptr;
        if (::RegOpenKeyExW(type, L"shellex\\IconHandler", 0, KEY_READ, &handler) == ERROR_SUCCESS) {
            perFile = true;
            ::RegCloseKey(handler);
        }
        ::RegCloseKey(type);
    }
    m_iconPerFile.emplace(kind, perFile);
    return perFile;
}

void SystemImageLists::LendTo(CFileListCtrl& list) { list.BorrowImageLists(GetSmallList(), GetLargeList()); }

void SystemImageLists::TakeBackFrom(CFileListCtrl& list) { list.ReturnImageLists(); }

}  // namespace pw
