#include "ui/cdxCSizingPropPage.h"

#include "ui/cdxCSizingPropSheet.h"

namespace pw {

wxIMPLEMENT_DYNAMIC_CLASS(cdxCSizingPropPage, wxPanel);

cdxCSizingPropPage::cdxCSizingPropPage() { m_layout.SetWindow(this); }

cdxCSizingPropPage::cdxCSizingPropPage(wxWindow* parent, wxWindowID id) : cdxCSizingPropPage() {
    Create(parent, id);
}

bool cdxCSizingPropPage::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style,
                                const wxString& name) {
    if (!wxPanel::Create(parent, id, pos, size, style, name))
        return false;
    BindEvents();
    return true;
}

void cdxCSizingPropPage::BindEvents() {
    Bind(wxEVT_SIZE, &cdxCSizingPropPage::OnSizeEvent, this);
    Bind(wxEVT_INIT_DIALOG, &cdxCSizingPropPage::OnInitDialogEvent, this);
}

bool cdxCSizingPropPage::Destroy() {
    m_layout.RemoveAll();
    return wxPanel::Destroy();
}

bool cdxCSizingPropPage::OnInitDialog() {
    const bool result = TransferDataToWindow();
    m_layout.Init(0);
    return result;
}

bool cdxCSizingPropPage::OnSetActive() {
    if (m_sheet && m_sheet->GetLayoutManager().Relayout())
        m_sheet->Refresh();
    if (m_layout.Relayout())
        Refresh();
    return true;
}

void cdxCSizingPropPage::OnInitDialogEvent(wxInitDialogEvent&) { OnInitDialog(); }

void cdxCSizingPropPage::OnSizeEvent(wxSizeEvent& event) {
    const wxSize client = GetClientSize();
    m_layout.OnSize(cdxCLayoutManager::SizeRestored, client.x, client.y);
    event.Skip();
}

}  // namespace pw
