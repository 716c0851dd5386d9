#pragma once
// Tells screen readers that a control of the program's own drawing is a
// link with the given text.

#include <wx/string.h>

class wxWindow;

namespace pw {

void ExposeAsLink(wxWindow* window, const wxString& text);

}  // namespace pw
