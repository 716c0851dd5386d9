#pragma once
// Where a dialog opens on the desktop.

#include <wx/toplevel.h>

namespace pw {

// Places the window centred on its owner, or on its display without one,
// and has the desktop keep it there when it first shows: a window manager
// places a window itself unless told that the program chose the place.
void OpenCentred(wxTopLevelWindow* window, bool onOwner);

}  // namespace pw
