#pragma once
// The name and description a screen reader says for a control, where the
// toolkit gives it none of its own (lists, progress bars, entries without a
// label, areas the program paints).

#include <wx/string.h>

class wxWindow;

namespace pw {

void SetAccessibleName(wxWindow* window, const wxString& name);
// An empty text removes the description.
void SetAccessibleDescription(wxWindow* window, const wxString& description);
wxString GetAccessibleName(wxWindow* window);
// Tells screen readers that a top-level window is a dialog (GTK presents
// every window of the program as a frame otherwise).
void PresentAsDialogToScreenReaders(wxWindow* window);
wxString GetAccessibleDescription(wxWindow* window);

}  // namespace pw
