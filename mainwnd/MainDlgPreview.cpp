// The main window's side of the preview: the timer that keeps the viewer on
// the first selected file, and the trim of the viewer's toolbar.

#include "mainwnd/CMainDlg.h"

#include "ui/PathText.h"
#include "viewer/CFoliocx.h"
#include "viewer/ToolbarFocus.h"

#include <wx/utils.h>

#include <algorithm>

namespace pw {

wxWindow* CMainDlg::GetPreview() const { return m_preview; }

void CMainDlg::StartPreviewTimer() {
    m_previewTimer.SetOwner(this, kPreviewTimerId);
    Bind(wxEVT_TIMER, &CMainDlg::OnTimer, this);
    m_previewTimer.Start(kPreviewTimerMs);
}

void CMainDlg::OnTimer(wxTimerEvent& event) {
    if (event.GetId() != kPreviewTimerId) {
        event.Skip();
        return;
    }
    if (!m_fileList || !m_preview)
        return;
    const std::vector<long> selected = m_fileList->GetSelectedItems();
    if (selected.empty())
        return;
    const long first = *std::min_element(selected.begin(), selected.end());
    const std::string path = PathFromWx(m_fileList->GetItemText(first, 0));
    if (path.empty() || m_preview->GetCurrentFile() == path)
        return;
    wxBusyCursor wait;
    m_preview->OpenFile(path, "", "", 96);
    m_preview->AfterOpen(1);
}

void CMainDlg::TrimPreviewToolbar() {
    wxToolBar* toolbar = m_preview ? m_preview->GetToolbarWindow() : nullptr;
    if (!toolbar)
        return;
    const int count = static_cast<int>(toolbar->GetToolsCount());
    for (int index = count - 1; index >= 16; --index)
        toolbar->DeleteToolByPos(index);
    // A toolbar with fewer buttons simply loses what it has of these.
    if (toolbar->GetToolsCount() > 1)
        toolbar->DeleteToolByPos(1);
    if (toolbar->GetToolsCount() > 0)
        toolbar->DeleteToolByPos(0);
    toolbar->Realize();
    LetToolsTakeFocus(toolbar);
}

}  // namespace pw
