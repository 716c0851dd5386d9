#include "ui/AppMessageBox.h"

#include "ui/XMessageBox.h"

#include <wx/app.h>

namespace pw {

wxString AppMessageBoxCaption() { return wxTheApp ? wxTheApp->GetAppName() : wxString("pagewright"); }

unsigned AppMessageBoxStyle(unsigned style) {
    if ((style & 0xF) == MB_OK && (style & 0xF0) == 0)
        style |= MB_ICONEXCLAMATION;
    return style;
}

}  // namespace pw
