#include "viewer/FolioToolbar.h"

#include "ui/AccessibleName.h"
#include "viewer/ToolSigns.h"
#include "viewer/ToolbarFocus.h"

#include <wx/textctrl.h>

namespace pw {

namespace {

constexpr int kIconSize = 16;

// A stop of the window's Tab: the toolbar hands the focus to its first
// usable tool, from where the arrow keys go on to the others.
class FolioToolBar : public wxToolBar {
public:
    using wxToolBar::wxToolBar;
    bool AcceptsFocus() const override { return true; }
    bool AcceptsFocusFromKeyboard() const override { return true; }
    void SetFocus() override {
        if (!FocusFirstTool(this))
            wxToolBar::SetFocus();
    }
};

struct ToolRow {
    int id;
    const char* label;
    const char* tip;
};

const ToolRow kLeading[] = {
    {kToolOpen, "Open", "Open a file in the viewer"},
    {kToolClose, "Close", "Close the file"},
    {kToolFirstPage, "First page", "First page (Ctrl+Home)"},
    {kToolPreviousPage, "Previous page", "Previous page (Page Up)"},
};
const ToolRow kPages[] = {
    {kToolNextPage, "Next page", "Next page (Page Down)"},
    {kToolLastPage, "Last page", "Last page (Ctrl+End)"},
};
const ToolRow kZoom[] = {
    {kToolZoomOut, "Zoom out", "Zoom out (-)"},
    {kToolZoomIn, "Zoom in", "Zoom in (+)"},
    {kToolFitPage, "Fit page", "Fit the whole page in the window"},
    {kToolFitWidth, "Fit width", "Fit the page's width in the window"},
    {kToolActualSize, "Actual size", "Show the page at its printed size"},
};
const ToolRow kTurn[] = {
    {kToolRotateLeft, "Rotate left", "Turn the page a quarter to the left"},
    {kToolRotateRight, "Rotate right", "Turn the page a quarter to the right"},
    {kToolCopyPage, "Copy page", "Copy the page as shown to the clipboard"},
};

void AddTools(wxToolBar* bar, const ToolRow* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const ToolRow& r = rows[i];
        bar->AddTool(r.id, r.label, ToolSign(r.id), r.tip);
    }
}

}  // namespace

wxToolBar* BuildFolioToolbar(wxWindow* parent) {
    auto* bar = new FolioToolBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxTB_HORIZONTAL | wxTB_FLAT | wxTB_NODIVIDER, "Viewer toolbar");
    bar->SetToolBitmapSize(wxSize(kIconSize, kIconSize));
    AddTools(bar, kLeading, std::size(kLeading));
    auto* page = new wxTextCtrl(bar, kToolPageNumber, "", wxDefaultPosition,
                                wxSize(bar->GetTextExtent("0000 / 0000").x + 16, -1),
                                wxTE_PROCESS_ENTER | wxTE_CENTRE, wxDefaultValidator, "Page number");
    page->SetToolTip("Page number: type a page and press Enter");
    SetAccessibleName(page, page->GetName());
    bar->AddControl(page, "Page");
    AddTools(bar, kPages, std::size(kPages));
    bar->AddSeparator();
    AddTools(bar, kZoom, std::size(kZoom));
    bar->AddSeparator();
    AddTools(bar, kTurn, std::size(kTurn));
    bar->Realize();
    LetToolsTakeFocus(bar);
    return bar;
}

}  // namespace pw
