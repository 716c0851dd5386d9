#include "ui/CLinkStatic.h"

#include "platform/ShellOpen.h"
#include "ui/AccessibleLink.h"
#include "ui/AppMessageBox.h"
#include "ui/OpenInBackground.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <wx/dcclient.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/utils.h>

namespace pw {

CLinkStatic::CLinkStatic() { Init(); }

CLinkStatic::CLinkStatic(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos,
                         const wxSize& size, long style) {
    Init();
    Create(parent, id, text, pos, size, style);
}

void CLinkStatic::Init() { m_hoverColour = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT); }

bool CLinkStatic::Create(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos,
                         const wxSize& size, long style) {
    if (!wxControl::Create(parent, id, pos, size, style | wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE))
        return false;
    wxString label = text;
    if (m_target.empty())
        m_target = label;
    if (label.empty())
        label = m_target;
    wxControl::SetLabel(label);
    SetName(label);
    ExposeAsLink(this, label);
    wxFont font = GetFont();
    font.SetUnderlined(m_underlined);
    SetFont(font);
    FitToText();
    SetCursor(wxCursor(wxCURSOR_HAND));
    SetToolTip(m_target);
    Bind(wxEVT_PAINT, &CLinkStatic::OnPaint, this);
    Bind(wxEVT_MOTION, &CLinkStatic::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &CLinkStatic::OnLeave, this);
    Bind(wxEVT_LEFT_DOWN, &CLinkStatic::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CLinkStatic::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CLinkStatic::OnLeftUp, this);
    Bind(wxEVT_KEY_DOWN, &CLinkStatic::OnKeyDown, this);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) { Refresh(); e.Skip(); });
    Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) { Refresh(); e.Skip(); });
    return true;
}

void CLinkStatic::SetLabel(const wxString& label) {
    wxControl::SetLabel(label);
    SetName(label);
    ExposeAsLink(this, label);
    InvalidateBestSize();
    FitToText();
    Refresh();
}

void CLinkStatic::SetLinkTarget(const wxString& target) {
    m_target = target;
    if (!GetHandle())
        return;
    FitToText();
    SetToolTip(m_target);
}

void CLinkStatic::MarkVisited(bool visited) {
    m_visited = visited;
    if (GetHandle())
        Refresh();
}

void CLinkStatic::SetUnderlined(bool underlined) {
    m_underlined = underlined;
    if (!GetHandle())
        return;
    wxFont font = GetFont();
    font.SetUnderlined(underlined);
    SetFont(font);
    Refresh();
}

void CLinkStatic::FitToText() {
    if (!GetHandle() || !m_fitToText)
        return;
    wxRect rect = GetRect();
    const wxSize text = GetTextExtent(GetLabel());
    const long style = GetWindowStyleFlag();
    if (style & wxALIGN_CENTRE_VERTICAL)
        rect.Inflate(0, -(rect.height - text.y) / 2);
    else
        rect.height = text.y;
    if (style & wxALIGN_CENTRE_HORIZONTAL) {
        rect.Inflate(-(rect.width - text.x) / 2, 0);
    } else if (style & wxALIGN_RIGHT) {
        rect.x = rect.GetRight() + 1 - text.x;
        rect.width = text.x;
    } else {
        rect.width = text.x;
    }
    SetSize(rect);
}

wxSize CLinkStatic::DoGetBestSize() const { return GetTextExtent(GetLabel()); }

wxColour CLinkStatic::GetCurrentColour() const {
    if (m_hovering)
        return m_hoverColour;
    const wxColour colour = m_visited ? m_visitedColour : m_linkColour;
    // The classic link blue and purple are hard to read on a dark theme's
    // background; there they are drawn lighter.
    const wxColour back = GetBackgroundColour();
    if (back.IsOk() && back.GetLuminance() < 0.4)
        return colour.ChangeLightness(160);
    return colour;
}

void CLinkStatic::Activate() {
    OpenInBackground({PathFromWx(m_target)}, this,
                     [this](const std::vector<int>& results) { OnOpened(results.front()); });
}

void CLinkStatic::OnOpened(int result) {
    m_visited = result > kShellOpenFailureLimit;
    if (m_visited) {
        MarkVisited(true);
        return;
    }
    wxBell();
    ShowOpenError(result);
}

wxString CLinkStatic::OpenErrorText(int code) {
    const char* text = nullptr;
    switch (code) {
    case 0: text = "The operating system is out\nof memory or resources."; break;
    case 2: text = "The specified file was not found."; break;
    case 3: text = "The specified path was not found."; break;
    case 5: text = "The operating system denied\naccess to the specified file."; break;
    case 8: text = "There was not enough memory to complete the operation."; break;
    case 11: text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case 26: text = "A sharing violation occurred. "; break;
    case 27: text = "The filename association is\nincomplete or invalid."; break;
    case 28: text = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case 29: text = "The DDE transaction failed."; break;
    case 30:
        text = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case 31: text = "There is no application associated\nwith the given filename extension."; break;
    case 32: text = "The specified dynamic-link library was not found."; break;
    default: break;
    }
    const wxString message = text ? wxString(text) : wxString::Format("Unknown Error (%d) occurred.", code);
    return "Unable to open hyperlink:\n\n" + message;
}

void CLinkStatic::ShowOpenError(int code) { AppMessageBox(this, OpenErrorText(code), MB_ICONEXCLAMATION); }

void CLinkStatic::SetHovering(bool hovering) {
    if (m_hovering == hovering)
        return;
    m_hovering = hovering;
    Refresh();
    Update();
}

void CLinkStatic::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetFont(GetFont());
    dc.SetTextForeground(GetCurrentColour());
    dc.SetBackgroundMode(wxTRANSPARENT);
    const wxString label = GetLabel();
    const wxSize text = dc.GetTextExtent(label);
    const wxSize client = GetClientSize();
    const long style = GetWindowStyleFlag();
    int x = 0;
    if (style & wxALIGN_CENTRE_HORIZONTAL)
        x = (client.x - text.x) / 2;
    else if (style & wxALIGN_RIGHT)
        x = client.x - text.x;
    const int y = (style & wxALIGN_CENTRE_VERTICAL) ? (client.y - text.y) / 2 : 0;
    dc.DrawText(label, x, y);
    if (HasFocus())
        wxRendererNative::Get().DrawFocusRect(this, dc, wxRect(wxPoint(0, 0), client));
}

void CLinkStatic::OnMotion(wxMouseEvent& event) {
    event.Skip();
    if (!m_hovering)
        SetHovering(true);
    else if (!wxRect(GetClientSize()).Contains(event.GetPosition()))
        SetHovering(false);
}

void CLinkStatic::OnLeave(wxMouseEvent& event) {
    event.Skip();
    SetHovering(false);
}

void CLinkStatic::OnLeftDown(wxMouseEvent& event) {
    event.Skip();
    const long dclick = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC, this);
    m_sequenceGoesOn = m_lastRelease != 0 && event.GetTimestamp() - m_lastRelease <= (dclick > 0 ? dclick : 500);
}

void CLinkStatic::OnLeftUp(wxMouseEvent& event) {
    event.Skip();
    m_lastRelease = event.GetTimestamp();
    if (!m_sequenceGoesOn && wxRect(GetClientSize()).Contains(event.GetPosition()))
        Activate();
}

void CLinkStatic::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_SPACE:
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        Activate();
        return;
    default:
        event.Skip();
    }
}

}  // namespace pw
