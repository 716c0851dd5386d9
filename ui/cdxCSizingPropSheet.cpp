#include "ui/cdxCSizingPropSheet.h"

#include "ui/cdxCSizingPropPage.h"

#include <wx/bookctrl.h>

namespace pw {

wxIMPLEMENT_CLASS(cdxCSizingPropSheet, wxPropertySheetDialog);

cdxCSizingPropSheet::cdxCSizingPropSheet() { m_layout.SetWindow(this); }

bool cdxCSizingPropSheet::Create(wxWindow* parent, wxWindowID id, const wxString& title, const wxPoint& pos,
                                 const wxSize& size, long style, const wxString& name) {
    if (!wxPropertySheetDialog::Create(parent, id, title, pos, size, style | wxRESIZE_BORDER | wxSYSTEM_MENU, name))
        return false;
    Bind(wxEVT_SIZE, &cdxCSizingPropSheet::OnSizeEvent, this);
    if (wxBookCtrlBase* book = GetBookCtrl())
        book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, &cdxCSizingPropSheet::OnPageChanged, this);
    return true;
}

bool cdxCSizingPropSheet::AddSizingPage(cdxCSizingPropPage* page, const wxString& title, bool select) {
    wxBookCtrlBase* book = GetBookCtrl();
    if (!book || !page)
        return false;
    page->SetSheet(this);
    return book->AddPage(page, title, select);
}

bool cdxCSizingPropSheet::InitLayout(int growStep) {
    const bool result = m_layout.Init(growStep);
    cdxCLayoutManager::MinMaxInfo info;
    m_layout.OnGetMinMaxInfo(info);
    SetSizeHints(info.minTrackSize, info.maxTrackSize);
    return result;
}

void cdxCSizingPropSheet::OnSizeEvent(wxSizeEvent&) {
    // The sheet's own sizer places the book and the buttons first; the
    // controls added to the layout manager are then placed over that.
    wxPropertySheetDialog::Layout();
    const wxSize client = GetClientSize();
    m_layout.OnSize(IsIconized() ? cdxCLayoutManager::SizeMinimized : cdxCLayoutManager::SizeRestored, client.x,
                    client.y);
}

void cdxCSizingPropSheet::OnPageChanged(wxBookCtrlEvent& event) {
    event.Skip();
    wxBookCtrlBase* book = GetBookCtrl();
    const int selection = event.GetSelection();
    if (!book || selection == wxNOT_FOUND)
        return;
    if (auto* page = dynamic_cast<cdxCSizingPropPage*>(book->GetPage(static_cast<size_t>(selection))))
        page->OnSetActive();
}

}  // namespace pw
