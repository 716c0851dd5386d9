#include "ui/ChooseFolder.h"

#include "platform/WideText_win32.h"

#include <wx/window.h>

#include <windows.h>
#include <shlobj.h>

namespace pw {

namespace {

std::wstring PathOf(LPCITEMIDLIST item) {
    wchar_t path[MAX_PATH] = {};
    if (!item || !::SHGetPathFromIDListW(item, path))
        return std::wstring();
    return path;
}

// The browser opens on the remembered folder, shown in its status line,
// and the status line follows the selection (empty for an item that is no
// folder of the file system).
int CALLBACK FollowSelection(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        const auto* initial = reinterpret_cast<const std::wstring*>(data);
        if (!initial->empty())
            ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(initial->c_str()));
        ::SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(initial->c_str()));
    } else if (message == BFFM_SELCHANGED) {
        const std::wstring path = PathOf(reinterpret_cast<LPCITEMIDLIST>(lParam));
        ::SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }
    return 0;
}

}  // namespace

// The system's folder browser rather than the toolkit's folder dialog,
// which is the file dialog picking folders: that one has neither the title
// text above the folders nor the status line with the selected path.
std::optional<std::string> RunFolderDialog(wxWindow* owner, const std::string& initial) {
    const std::wstring start = Widen(initial);
    const std::wstring title = L"Please select a folder:";
    BROWSEINFOW browse{};
    browse.hwndOwner = owner ? static_cast<HWND>(owner->GetHandle()) : nullptr;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    browse.lpfn = FollowSelection;
    browse.lParam = reinterpret_cast<LPARAM>(&start);
    LPITEMIDLIST chosen = ::SHBrowseForFolderW(&browse);
    if (!chosen)
        return std::nullopt;
    const std::wstring path = PathOf(chosen);
    ::CoTaskMemFree(chosen);
    return Narrow(path);
}

}  // namespace pw
