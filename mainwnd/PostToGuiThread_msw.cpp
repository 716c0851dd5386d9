#include "mainwnd/PostToGuiThread.h"

#include <wx/app.h>

namespace pw {

// The application's deferred calls are handled as soon as its message loop
// runs again: posting one wakes the loop.
void PostToGuiThread(std::function<void()> task) {
    if (wxTheApp)
        wxTheApp->CallAfter(std::move(task));
}

}  // namespace pw
