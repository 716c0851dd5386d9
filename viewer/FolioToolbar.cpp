#include "viewer/FolioToolbar.h"

#include "ui/AccessibleName.h"

#include <wx/artprov.h>
#include <wx/dcmemory.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

namespace pw {

namespace {

constexpr int kIconSize = 16;

// A drawn sign for a tool the icon theme has no picture of. The sign is
// drawn white on black and its brightness becomes the alpha of the text
// colour: drawing straight into a bitmap with alpha leaves the text
// transparent with some toolkits.
wxBitmap GlyphBitmap(const wxString& glyph) {
    wxBitmap canvas(kIconSize, kIconSize, 24);
    {
        wxMemoryDC dc(canvas);
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
        font.SetPixelSize(wxSize(0, kIconSize - 3));
        font.MakeBold();
        dc.SetFont(font);
        dc.SetTextForeground(*wxWHITE);
        dc.DrawLabel(glyph, wxRect(0, 0, kIconSize, kIconSize), wxALIGN_CENTER);
    }
    wxImage image = canvas.ConvertToImage();
    image.InitAlpha();
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT);
    unsigned char* rgb = image.GetData();
    unsigned char* alpha = image.GetAlpha();
    for (int i = 0; i < kIconSize * kIconSize; ++i) {
        alpha[i] = rgb[3 * i];
        rgb[3 * i] = text.Red();
        rgb[3 * i + 1] = text.Green();
        rgb[3 * i + 2] = text.Blue();
    }
    return wxBitmap(image, 32);
}

wxBitmap ToolBitmap(const char* themeName, const wxString& glyph) {
    if (themeName) {
        wxBitmap art = wxArtProvider::GetBitmap(themeName, wxART_TOOLBAR, wxSize(kIconSize, kIconSize));
        if (art.IsOk())
            return art;
    }
    return GlyphBitmap(glyph);
}

struct ToolRow {
    int id;
    const char* themeName;
    const char* glyph;
    const char* label;
    const char* tip;
};

const ToolRow kLeading[] = {
    {kToolOpen, "document-open", "O", "Open", "Open a file in the viewer"},
    {kToolClose, "window-close", "X", "Close", "Close the file"},
    {kToolFirstPage, "go-first", "|<", "First page", "First page (Ctrl+Home)"},
    {kToolPreviousPage, "go-previous", "<", "Previous page", "Previous page (Page Up)"},
};
const ToolRow kPages[] = {
    {kToolNextPage, "go-next", ">", "Next page", "Next page (Page Down)"},
    {kToolLastPage, "go-last", ">|", "Last page", "Last page (Ctrl+End)"},
};
const ToolRow kZoom[] = {
    {kToolZoomOut, "zoom-out", "-", "Zoom out", "Zoom out (-)"},
    {kToolZoomIn, "zoom-in", "+", "Zoom in", "Zoom in (+)"},
    {kToolFitPage, "zoom-fit-best", "[]", "Fit page", "Fit the whole page in the window"},
    {kToolFitWidth, nullptr, "<>", "Fit width", "Fit the page's width in the window"},
    {kToolActualSize, "zoom-original", "1", "Actual size", "Show the page at its printed size"},
};
const ToolRow kTurn[] = {
    {kToolRotateLeft, "object-rotate-left", "L", "Rotate left", "Turn the page a quarter to the left"},
    {kToolRotateRight, "object-rotate-right", "R", "Rotate right", "Turn the page a quarter to the right"},
    {kToolCopyPage, "edit-copy", "C", "Copy page", "Copy the page as shown to the clipboard"},
};

void AddTools(wxToolBar* bar, const ToolRow* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const ToolRow& r = rows[i];
        bar->AddTool(r.id, r.label, ToolBitmap(r.themeName, r.glyph), r.tip);
    }
}

}  // namespace

wxToolBar* BuildFolioToolbar(wxWindow* parent) {
    auto* bar = new wxToolBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
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
    return bar;
}

}  // namespace pw
