#include "ui/WindowPlacement.h"

#include <wx/stopwatch.h>
#include <wx/weakref.h>

#include <memory>

namespace pw {

namespace {

// How long after the first showing the window manager's placement is
// waited for, and how often it is taken back at most.
constexpr long kSettleMs = 5000;
constexpr int kMostTakeBacks = 3;

struct Placement {
    bool shown = false;
    bool settled = false;
    int takeBacks = 0;
    wxPoint placed;
    wxStopWatch since;
};

}  // namespace

// The window manager frames and places a new window some time after it was
// shown; how soon depends on how busy the machine is. The first move it
// makes after the showing tells: to where the program placed the window,
// and all is well; anywhere else, and the window is put back, which the
// next move confirms. Later moves are the user's.
void KeepPlacementWhenShown(wxTopLevelWindow* window) {
    auto state = std::make_shared<Placement>();
    window->Bind(wxEVT_SHOW, [window, state](wxShowEvent& event) {
        event.Skip();
        if (!event.IsShown() || state->shown)
            return;
        state->shown = true;
        state->placed = window->GetPosition();
        state->since.Start();
    });
    window->Bind(wxEVT_MOVE, [window, state](wxMoveEvent& event) {
        event.Skip();
        if (!state->shown || state->settled)
            return;
        const wxPoint target = state->placed;
        if (window->GetPosition() == target || state->since.Time() > kSettleMs ||
            state->takeBacks >= kMostTakeBacks) {
            state->settled = true;
            return;
        }
        ++state->takeBacks;
        wxWeakRef<wxTopLevelWindow> shown(window);
        window->CallAfter([shown, target] {
            if (shown && shown->IsShown() && !shown->IsMaximized() && !shown->IsIconized())
                shown->Move(target);
        });
    });
}

}  // namespace pw
