#pragma once
// A property sheet whose frame can be resized; the controls added to its
// layout manager follow the size like those of cdxCResizableDialog.

#include "ui/cdxCLayoutManager.h"

#include <wx/bookctrl.h>
#include <wx/propdlg.h>

namespace pw {

class cdxCSizingPropPage;

class cdxCSizingPropSheet : public wxPropertySheetDialog {
public:
    cdxCSizingPropSheet();
    // Creates the sheet with a resizing frame and a system menu added to
    // the given style.
    bool Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxDEFAULT_DIALOG_STYLE,
                const wxString& name = wxDialogNameStr);

    // Adds a page to the sheet's book and tells the page which sheet shows it.
    bool AddSizingPage(cdxCSizingPropPage* page, const wxString& title, bool select = false);

    // Records the sheet's present size as the size its layout refers to and
    // limits the frame to at least that size. Run once the sheet's pages and
    // buttons are laid out (after LayoutDialog).
    bool InitLayout(int growStep = 0);

    cdxCLayoutManager& GetLayoutManager() { return m_layout; }

private:
    void OnSizeEvent(wxSizeEvent& event);
    void OnPageChanged(wxBookCtrlEvent& event);

    cdxCLayoutManager m_layout;

    wxDECLARE_CLASS(cdxCSizingPropSheet);
};

}  // namespace pw
