#include "dialogs/CTiffInfoDlg.h"

#include "res/ResourceIds.h"
#include "ui/AccessibleName.h"
#include "ui/PathText.h"

#include <wx/textctrl.h>

namespace pw {

namespace {

constexpr int kScrollTimer = 101;

}  // namespace

CTiffInfoDlg::CTiffInfoDlg(wxWindow* parent)
    : cdxCResizableDialog(IDD_TIFFINFO, parent), m_timer(this, kScrollTimer) {
    m_text = wxDynamicCast(FindWindow(IDC_TIFFINFO_TEXT), wxTextCtrl);
    Bind(wxEVT_TIMER, &CTiffInfoDlg::OnTimer, this, kScrollTimer);
    // The dialog has no Cancel button for Escape to press; Escape closes it
    // all the same, as the close box does.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers())
            Close();
        else
            event.Skip();
    });
}

bool CTiffInfoDlg::OnInitDialog() {
    InitLayout(10);
    SetTitle("TIFF Information");
    if (m_text) {
        m_layout.AddControl(m_text, cdxCLayoutManager::ModeStretch, cdxCLayoutManager::ModeStretch);
        SetAccessibleName(m_text, "TIFF structure");
        // The text view breaks lines at '\n', '\r\n' and '\r' alike, so the
        // report goes in as the tool wrote it.
        m_text->ChangeValue(PathToWx(m_report));
        m_text->SetInsertionPoint(0);
        m_text->SetFocus();
    }
    CentreOnParent();
    m_timer.StartOnce(200);
    return true;
}

void CTiffInfoDlg::OnTimer(wxTimerEvent&) {
    // Whatever focusing the text selected goes; the caret stays and is
    // brought into view.
    if (m_text) {
        const long caret = m_text->GetInsertionPoint();
        m_text->SetSelection(caret, caret);
        m_text->ShowPosition(caret);
    }
    m_timer.Stop();
}

}  // namespace pw
