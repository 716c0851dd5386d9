#include "ui/MainWindowHints.h"

#include <windows.h>

namespace pw {

void PresentAsMainWindow(wxDialog* dialog) {
    // Its own task-bar button, and the minimise and maximise boxes of a
    // main window.
    dialog->SetWindowStyleFlag(dialog->GetWindowStyleFlag() | wxMINIMIZE_BOX | wxMAXIMIZE_BOX);
    if (const HWND window = static_cast<HWND>(dialog->GetHandle()))
        ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_APPWINDOW);
}

}  // namespace pw
