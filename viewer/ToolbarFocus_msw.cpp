#include "viewer/ToolbarFocus.h"

namespace pw {

// The system's toolbar is reached as its own; nothing to do here.
void LetToolsTakeFocus(wxToolBar*) {}

bool FocusFirstTool(wxToolBar*) { return false; }

}  // namespace pw
