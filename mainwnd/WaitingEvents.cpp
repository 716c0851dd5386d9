#include "mainwnd/WaitingEvents.h"

#include <wx/app.h>
#include <wx/evtloop.h>

namespace pw {

void DispatchWaitingEvents() {
    static bool dispatching = false;
    if (dispatching || !wxTheApp)
        return;
    dispatching = true;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (loop && loop->IsRunning()) {
        while (loop->Pending())
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
