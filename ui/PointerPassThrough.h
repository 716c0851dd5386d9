#pragma once
// A window that shows something over others without taking the pointer:
// clicks, moves and the pointer's entering and leaving go to the windows
// beneath it, as though it were not there.

class wxWindow;

namespace pw {

void LetPointerPassThrough(wxWindow* window);

}  // namespace pw
