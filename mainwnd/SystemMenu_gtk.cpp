#include "mainwnd/SystemMenu.h"

namespace pw {

// The GTK window menu belongs to the window manager; programs cannot add to
// it, so the About box is reached through its button only.
bool AppendAboutToSystemMenu(wxTopLevelWindow*, const wxString&) { return false; }

}  // namespace pw
