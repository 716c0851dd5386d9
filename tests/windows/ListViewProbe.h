#pragma once
// A list view of another process read as a test tool reads it: its image
// lists, and a row's image, through memory of that process. Test helper only.

#include <windows.h>
#include <commctrl.h>

#include <optional>

namespace pw::test {

class ListViewProbe {
public:
    ListViewProbe(HWND list, DWORD process) : m_list(list), m_process(process) {}

    // The list view's image list (LVSIL_SMALL, LVSIL_NORMAL), as a handle
    // of the other process: only whether it is null says anything here.
    HIMAGELIST ImageList(int which) const;
    bool HasStyle(LONG_PTR style) const;
    // The image index of a row's first cell; nullopt when the list view
    // does not answer.
    std::optional<int> ItemImage(int row) const;

private:
    HWND m_list;
    DWORD m_process;
};

}  // namespace pw::test
