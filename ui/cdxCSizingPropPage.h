#pragma once
// A property-sheet page whose controls follow its size; no size grip, no
// growth.

#include "ui/cdxCLayoutManager.h"

#include <wx/panel.h>

namespace pw {

class cdxCSizingPropSheet;

class cdxCSizingPropPage : public wxPanel {
public:
    cdxCSizingPropPage();
    cdxCSizingPropPage(wxWindow* parent, wxWindowID id = wxID_ANY);
    bool Create(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxTAB_TRAVERSAL,
                const wxString& name = wxPanelNameStr);
    bool Destroy() override;

    // The page's initialisation: data to the controls, then the layout
    // manager's Init without growth. Runs on the page's init-dialog notice.
    virtual bool OnInitDialog();
    // The page became the shown page: the sheet and then the page lay out
    // again for their present sizes.
    virtual bool OnSetActive();

    void SetSheet(cdxCSizingPropSheet* sheet) { m_sheet = sheet; }
    cdxCSizingPropSheet* GetSheet() const { return m_sheet; }
    cdxCLayoutManager& GetLayoutManager() { return m_layout; }

private:
    void BindEvents();
    void OnSizeEvent(wxSizeEvent& event);
    void OnInitDialogEvent(wxInitDialogEvent& event);

    cdxCLayoutManager m_layout{cdxCLayoutManager::SizeHorz | cdxCLayoutManager::SizeVert, false};
    cdxCSizingPropSheet* m_sheet = nullptr;

    wxDECLARE_DYNAMIC_CLASS(cdxCSizingPropPage);
};

}  // namespace pw
