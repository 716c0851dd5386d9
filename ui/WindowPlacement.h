#pragma once
// Where a dialog opens on the desktop.

#include <wx/toplevel.h>

namespace pw {

// A window manager may place a new window by a rule of its own (openbox puts
// the first one in the top left corner) whatever the program asked for.
// Once the window is on the screen and framed, this puts it back where the
// program had placed it when it was shown.
void KeepPlacementWhenShown(wxTopLevelWindow* window);

}  // namespace pw
