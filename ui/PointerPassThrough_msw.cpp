#include "ui/PointerPassThrough.h"

#include <wx/window.h>

#include <windows.h>

namespace pw {

// A layered window with WS_EX_TRANSPARENT is skipped by the system's hit
// testing: the pointer's messages go to the window beneath.
void LetPointerPassThrough(wxWindow* window) {
    HWND hwnd = window ? static_cast<HWND>(window->GetHWND()) : nullptr;
    if (!hwnd)
        return;
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, style | WS_EX_LAYERED | WS_EX_TRANSPARENT);
    ::SetLayeredWindowAttributes(hwnd, 0, 255, LWA_ALPHA);
}

}  // namespace pw
