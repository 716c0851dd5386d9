#include "ui/PaintPace.h"

#include <wx/toplevel.h>
#include <wx/window.h>

#include <windows.h>

namespace pw {

// The top-level window stops redrawing; letting go redraws all of it.
void* HoldPainting(wxWindow* window) {
    wxWindow* top = window ? wxGetTopLevelParent(window) : nullptr;
    const HWND handle = top ? static_cast<HWND>(top->GetHandle()) : nullptr;
    if (!handle)
        return nullptr;
    ::SendMessageW(handle, WM_SETREDRAW, FALSE, 0);
    return handle;
}

void ReleasePainting(void* held) {
    const HWND handle = static_cast<HWND>(held);
    if (!handle || !::IsWindow(handle))
        return;
    ::SendMessageW(handle, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(handle, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace pw
