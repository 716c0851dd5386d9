#include "ui/SizeGrip.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

namespace pw {

bool SizeGrip::Create(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(parent, wxID_ANY, pos, size, wxBORDER_NONE, "sizegrip"))
        return false;
    Bind(wxEVT_PAINT, &SizeGrip::OnPaint, this);
    return true;
}

wxSize SizeGrip::DoGetBestSize() const { return FromDIP(wxSize(16, 16)); }

void SizeGrip::OnPaint(wxPaintEvent&) {
    wxBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();

    // Three ridges, each a light line above two shadow lines, running from
    // the right edge down to the bottom edge.
    const wxPen light(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
    const wxPen shadow(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
    const int w = size.x;
    const int h = size.y;
    const int step = std::max(3, FromDIP(4));
    for (int ridge = 0; ridge < 3; ++ridge) {
        const int offset = step * (ridge + 1) - 1;
        const int lines[3] = {offset, offset - 1, offset - 2};
        for (int k = 0; k < 3; ++k) {
            const int d = lines[k];
            if (d < 0)
                continue;
            dc.SetPen(k == 0 ? light : shadow);
            // A diagonal from (w - 1 - d, h) up to (w, h - 1 - d); DrawLine
            // leaves out its last point, so it is extended by one.
            dc.DrawLine(w - 1 - d, h - 1, w, h - 2 - d);
        }
    }
}

}  // namespace pw
