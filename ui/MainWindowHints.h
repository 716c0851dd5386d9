#pragma once
// How the program's main window presents itself to the window manager.

#include <wx/dialog.h>

namespace pw {

// The main window is a dialog run modally, but it is the program's one
// window: the window manager is told it is a normal top-level window (its
// own task-bar entry, minimise and maximise, no modal state), while the
// dialog keeps its modal loop and its dialog keys. Call before it is shown.
void PresentAsMainWindow(wxDialog* dialog);

}  // namespace pw
