#include "mainwnd/WaitingEvents.h"

#include <wx/app.h>
#include <wx/evtloop.h>

namespace pw {

namespace {
constexpr int kMostEvents = 200;
}  // namespace

void DispatchWaitingEvents() {
    static bool dispatching = false;
    if (dispatching || !wxTheApp)
        return;
    dispatching = true;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (loop && loop->IsRunning()) {
        // Bounded: a batch whose notices keep coming keeps events waiting.
        for (int i = 0; i < kMostEvents && loop->Pending(); ++i)
            if (!loop->Dispatch())
                break;
        wxTheApp->ProcessPendingEvents();
    } else {
        // Without a running loop (before the window's loop starts) only the
        // toolkit's own yield can reach the native events.
        wxTheApp->Yield(true);
    }
    dispatching = false;
}

}  // namespace pw
