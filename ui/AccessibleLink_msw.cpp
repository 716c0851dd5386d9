#include "ui/AccessibleLink.h"

#include "ui/AccessibleProperties_msw.h"

namespace pw {

void ExposeAsLink(wxWindow* window, const wxString& text) {
    if (!window)
        return;
    AccessibleProperties& properties = AccessiblePropertiesOf(window);
    properties.name = text;
    properties.role = wxROLE_SYSTEM_LINK;
}

}  // namespace pw
