#include "ui/WindowPlacement.h"

#include <wx/weakref.h>

#include <memory>

namespace pw {

void KeepPlacementWhenShown(wxTopLevelWindow* window) {
    auto first = std::make_shared<bool>(true);
    window->Bind(wxEVT_SHOW, [window, first](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown() || !*first)
            return;
        *first = false;
        const wxPoint placed = window->GetPosition();
        wxWeakRef<wxTopLevelWindow> shown(window);
        window->CallAfter([shown, placed] {
            if (shown && shown->IsShown() && shown->GetPosition() != placed)
                shown->Move(placed);
        });
    });
}

}  // namespace pw
