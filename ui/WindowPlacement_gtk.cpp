#include "ui/WindowPlacement.h"

#include <wx/weakref.h>

#include <memory>

namespace pw {

void OpenCentred(wxTopLevelWindow* window, bool onOwner) {
    auto centre = [onOwner](wxTopLevelWindow* w) {
        if (onOwner)
            w->CentreOnParent();
        else
            w->CentreOnScreen();
    };
    centre(window);
    // A window manager may place a new window by its own rule (openbox puts
    // the first one in the top left corner) whatever the program asked for;
    // once it is on the screen and framed, it is centred again.
    auto first = std::make_shared<bool>(true);
    window->Bind(wxEVT_SHOW, [window, centre, first](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown() || !*first)
            return;
        *first = false;
        wxWeakRef<wxTopLevelWindow> shown(window);
        window->CallAfter([shown, centre] {
            if (shown && shown->IsShown())
                centre(shown.get());
        });
    });
}

}  // namespace pw
