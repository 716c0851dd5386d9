#pragma once
// An expectation for wxTEST_DIALOG: answers the program's plain message box
// with OK and keeps its text.

#include "ui/XMessageBox.h"
#include "ui/XMessageBoxDialog.h"

#include <wx/testing.h>

namespace pw::test {

class ExpectMessageBox : public wxExpectModalBase<XMessageBoxDialog, ExpectMessageBox> {
public:
    explicit ExpectMessageBox(wxString* text, unsigned* style = nullptr) : text_(text), style_(style) {}

protected:
    int OnInvoked(XMessageBoxDialog* box) const override {
        *text_ = wxString::FromUTF8(box->Content().text);
        if (style_)
            *style_ = box->Content().style;
        return IDOK;
    }

private:
    wxString* text_;
    unsigned* style_;
};

}  // namespace pw::test
