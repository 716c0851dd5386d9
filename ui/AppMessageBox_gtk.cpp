#include "ui/AppMessageBox.h"

#include "ui/XMessageBox.h"

namespace pw {

// GTK 3's message dialog shows no icon for its message types, so the box is
// the program's own, which draws the desktop's error, question, warning and
// information icons.
int AppMessageBox(wxWindow* owner, const wxString& text, unsigned style) {
    const unsigned shown = AppMessageBoxStyle(style) & (0xF | 0xF0 | 0xF00);
    const int result = XMessageBox(owner, text.utf8_str(), AppMessageBoxCaption().utf8_str(), shown);
    switch (result) {
    case IDYES:
    case IDNO:
    case IDCANCEL:
        return result;
    default:
        return (shown & 0xF) == MB_OK ? IDOK : IDCANCEL;
    }
}

}  // namespace pw
