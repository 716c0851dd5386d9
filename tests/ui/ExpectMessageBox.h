#pragma once
// An expectation for wxTEST_DIALOG: answers the program's plain message box
// with OK and keeps its text.

#include <wx/msgdlg.h>
#include <wx/testing.h>

namespace pw::test {

class ExpectMessageBox : public wxExpectModalBase<wxMessageDialog, ExpectMessageBox> {
public:
    explicit ExpectMessageBox(wxString* text) : text_(text) {}

protected:
    int OnInvoked(wxMessageDialog* box) const override {
        *text_ = box->GetMessage();
        return wxID_OK;
    }

private:
    wxString* text_;
};

}  // namespace pw::test
