#include "ui/AppMessageBox.h"

#include "ui/XMessageBox.h"

#include <wx/msgdlg.h>

namespace pw {

// The system's message box shows the icons itself.
int AppMessageBox(wxWindow* owner, const wxString& text, unsigned style) {
    style = AppMessageBoxStyle(style);
    const unsigned buttons = style & 0xF;
    long wxStyle = wxCENTRE;
    switch (buttons) {
    case MB_OKCANCEL: wxStyle |= wxOK | wxCANCEL; break;
    case MB_YESNO: wxStyle |= wxYES_NO; break;
    case MB_YESNOCANCEL: wxStyle |= wxYES_NO | wxCANCEL; break;
    default: wxStyle |= wxOK; break;
    }
    if ((style & MB_DEFBUTTON2) && buttons == MB_YESNO)
        wxStyle |= wxNO_DEFAULT;
    switch (style & 0xF0) {
    case MB_ICONERROR: wxStyle |= wxICON_ERROR; break;
    case MB_ICONQUESTION: wxStyle |= wxICON_QUESTION; break;
    case MB_ICONEXCLAMATION: wxStyle |= wxICON_WARNING; break;
    case MB_ICONINFORMATION: wxStyle |= wxICON_INFORMATION; break;
    default: break;
    }

    wxMessageDialog dialog(owner, text, AppMessageBoxCaption(), wxStyle);
    switch (dialog.ShowModal()) {
    case wxID_YES: return IDYES;
    case wxID_NO: return IDNO;
    case wxID_CANCEL: return IDCANCEL;
    default: return IDOK;
    }
}

}  // namespace pw
