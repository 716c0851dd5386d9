#pragma once
// The program's plain message box: the application's name as caption, the
// buttons and icon of the MB_ style bits (those of ui/XMessageBox.h), and
// the warning icon for an OK box that names no icon. Returns IDOK, IDYES,
// IDNO or IDCANCEL. The box is the system's where it shows those icons
// (Windows), the program's own where it does not (GTK 3 draws none).

#include <wx/string.h>

class wxWindow;

namespace pw {

int AppMessageBox(wxWindow* owner, const wxString& text, unsigned style);

// The caption of those boxes: the running program's base name.
wxString AppMessageBoxCaption();

// The style a box is shown with: the warning icon added to an OK box
// without one.
unsigned AppMessageBoxStyle(unsigned style);

}  // namespace pw
