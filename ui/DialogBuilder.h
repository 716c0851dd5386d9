#pragma once
// Turns the dialog templates of res/ into windows.

#include "res/DialogTemplate.h"

#include <wx/dialog.h>
#include <wx/gdicmn.h>

namespace pw {

// A rectangle in dialog units converted to pixels of the dialog's font; each
// edge is converted on its own so that controls that touch in dialog units
// touch in pixels too.
wxRect DialogUnitsToPixels(const wxWindow* dialog, const DialogUnitRect& r);

// Creates the dialog window with the template's caption, style and client
// size, and then its controls in the template's order (which is also the
// keyboard order). False when the dialog window cannot be created.
bool CreateDialogFromTemplate(wxDialog* dialog, wxWindow* parent, const DialogTemplate& tmpl);

// Creates one control of a template as a child of the dialog; null when its
// class is unknown.
wxWindow* CreateControlFromTemplate(wxDialog* dialog, const ControlTemplate& row);

}  // namespace pw
