#include "ui/WindowPlacement.h"

namespace pw {

// Windows opens a window where the program placed it.
void KeepPlacementWhenShown(wxTopLevelWindow*) {}

}  // namespace pw
