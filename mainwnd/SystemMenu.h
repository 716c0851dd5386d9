#pragma once
// The window menu that the desktop draws in a window's frame. Only some
// desktops give a program one to add items to.

#include <wx/toplevel.h>

namespace pw {

// The command number of the About item in the window menu.
inline constexpr int IDM_ABOUTBOX = 0x0010;

// Appends a separator and the item "&About <name>" to the window's system
// menu; false when the desktop has no such menu (GTK has none).
bool AppendAboutToSystemMenu(wxTopLevelWindow* window, const wxString& displayName);

}  // namespace pw
