#pragma once
// What the program tells screen readers about a window beyond what the
// toolkit says: an accessible object that answers with the given name,
// description and role and leaves everything else to the window's own.

#include <wx/access.h>
#include <wx/window.h>

namespace pw {

struct AccessibleProperties {
    virtual ~AccessibleProperties() = default;
    wxString name;
    wxString description;
    wxAccRole role = wxROLE_NONE;  // none: the window's own
};

// The window's properties, given it an accessible object of the program's
// own when it has none yet.
AccessibleProperties& AccessiblePropertiesOf(wxWindow* window);

// The window's properties if it has them, else null.
const AccessibleProperties* FindAccessibleProperties(wxWindow* window);

}  // namespace pw
