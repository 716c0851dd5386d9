// The window's place, size and splitter bar from one start to the next.

#include "mainwnd/CMainDlg.h"

#include "res/ResourceIds.h"

#include <wx/config.h>
#include <wx/display.h>

#include <algorithm>

namespace pw {

namespace {

const wxString kGroup = "/Window/Main/";

// The area of the display the rectangle is mostly on, else the first.
wxRect DisplayAreaFor(const wxRect& rect) {
    int index = wxDisplay::GetFromPoint(rect.GetPosition() + rect.GetSize() / 2);
    if (index == wxNOT_FOUND)
        index = 0;
    return wxDisplay(static_cast<unsigned>(index)).GetClientArea();
}

}  // namespace

void CMainDlg::OnLayoutPlaced() {
    m_splitter.RecalcPanes();
    // The bar keeps the place it had when the window last closed for as
    // long as the window keeps the size it came back with; a resize places
    // it by the layout again, as after a drag.
    if (m_restoredBar >= 0) {
        if (GetClientSize() == m_restoredClient)
            m_splitter.MoveBarTo(m_restoredBar);
        else if (IsShown())
            m_restoredBar = -1;
    }
}

void CMainDlg::SavePlacement() const {
    wxConfigBase* config = wxConfigBase::Get();
    if (!config || IsIconized())
        return;
    const wxRect rect = IsMaximized() && !m_normalRect.IsEmpty() ? m_normalRect : GetRect();
    config->Write(kGroup + "X", rect.x);
    config->Write(kGroup + "Y", rect.y);
    config->Write(kGroup + "Width", rect.width);
    config->Write(kGroup + "Height", rect.height);
    config->Write(kGroup + "Maximized", IsMaximized());
    if (const wxWindow* bar = FindWindow(IDC_SPLITTER); bar && !IsMaximized())
        config->Write(kGroup + "Splitter", bar->GetPosition().x);
    config->Flush();
}

void CMainDlg::RestorePlacement() {
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        if (IsShown() && !IsMaximized() && !IsIconized())
            m_normalRect = GetRect();
    });
    Bind(wxEVT_MOVE, [this](wxMoveEvent& event) {
        event.Skip();
        if (IsShown() && !IsMaximized() && !IsIconized())
            m_normalRect = GetRect();
    });
    wxConfigBase* config = wxConfigBase::Get();
    wxRect rect;
    if (!config || !config->Read(kGroup + "X", &rect.x) || !config->Read(kGroup + "Y", &rect.y) ||
        !config->Read(kGroup + "Width", &rect.width) || !config->Read(kGroup + "Height", &rect.height))
        return;
    // On the display it opens on, whole: no larger than its area, no
    // smaller than the window may be, and inside the area.
    const wxRect area = DisplayAreaFor(rect);
    const wxSize least = GetMinSize();
    rect.width = std::clamp(rect.width, std::min(least.x, area.width), std::max(area.width, least.x));
    rect.height = std::clamp(rect.height, std::min(least.y, area.height), std::max(area.height, least.y));
    rect.x = std::clamp(rect.x, area.x, std::max(area.x, area.GetRight() + 1 - rect.width));
    rect.y = std::clamp(rect.y, area.y, std::max(area.y, area.GetBottom() + 1 - rect.height));
    SetSize(rect);
    m_normalRect = rect;
    int bar = -1;
    if (config->Read(kGroup + "Splitter", &bar) && bar >= 0) {
        m_restoredBar = bar;
        m_restoredClient = GetClientSize();
        m_splitter.MoveBarTo(bar);
    }
    bool maximized = false;
    if (config->Read(kGroup + "Maximized", &maximized) && maximized)
        Maximize();
}

}  // namespace pw
