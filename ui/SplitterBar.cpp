#include "ui/SplitterBar.h"

#include <wx/settings.h>
#include <wx/utils.h>
#include <wx/toplevel.h>

#include <algorithm>

namespace pw {

wxDEFINE_EVENT(EVT_SPLITTER_MOVED, wxCommandEvent);

SplitterBar::SplitterBar(bool vertical) : m_vertical(vertical) {}

SplitterBar::~SplitterBar() { ReleaseBar(); }

bool SplitterBar::AttachToStatic(wxWindow* parent, int controlNumber) {
    ReleaseBar();
    wxWindow* bar = parent ? parent->FindWindow(controlNumber) : nullptr;
    if (!bar)
        return false;
    m_minBefore = m_minAfter = 10;
    m_parent = parent;
    m_bar = bar;
    // The parent gets the clicks over a static without a window of its
    // own; a static with one passes them on through the same handlers.
    for (wxWindow* w : {m_parent, m_bar}) {
        w->Bind(wxEVT_LEFT_DOWN, &SplitterBar::OnParentLeftDown, this);
        w->Bind(wxEVT_LEFT_DCLICK, &SplitterBar::OnParentLeftDown, this);  // a quick second press
        w->Bind(wxEVT_MOTION, &SplitterBar::OnParentMotion, this);
        w->Bind(wxEVT_LEFT_UP, &SplitterBar::OnParentLeftUp, this);
        w->Bind(wxEVT_RIGHT_DOWN, &SplitterBar::OnParentRightDown, this);
        w->Bind(wxEVT_LEAVE_WINDOW, &SplitterBar::OnParentLeaveWindow, this);
        w->Bind(wxEVT_MOUSE_CAPTURE_LOST, &SplitterBar::OnCaptureLost, this);
    }
    m_bar->Bind(wxEVT_DESTROY, &SplitterBar::OnBarDestroyed, this);
    return true;
}

void SplitterBar::Unbind() {
    if (!m_bar)
        return;
    for (wxWindow* w : {m_parent, m_bar}) {
        w->Unbind(wxEVT_LEFT_DOWN, &SplitterBar::OnParentLeftDown, this);
        w->Unbind(wxEVT_LEFT_DCLICK, &SplitterBar::OnParentLeftDown, this);
        w->Unbind(wxEVT_MOTION, &SplitterBar::OnParentMotion, this);
        w->Unbind(wxEVT_LEFT_UP, &SplitterBar::OnParentLeftUp, this);
        w->Unbind(wxEVT_RIGHT_DOWN, &SplitterBar::OnParentRightDown, this);
        w->Unbind(wxEVT_LEAVE_WINDOW, &SplitterBar::OnParentLeaveWindow, this);
        w->Unbind(wxEVT_MOUSE_CAPTURE_LOST, &SplitterBar::OnCaptureLost, this);
    }
    m_bar->Unbind(wxEVT_DESTROY, &SplitterBar::OnBarDestroyed, this);
}

void SplitterBar::SetMinPaneSizes(int before, int after) {
    m_minBefore = before;
    m_minAfter = after;
}

bool SplitterBar::AddLeftPane(int controlNumber) {
    m_before.push_back(controlNumber);
    return true;
}

bool SplitterBar::AddRightPane(int controlNumber) {
    m_after.push_back(controlNumber);
    return true;
}

void SplitterBar::ReleaseBar() {
    m_keys.Remove();
    if (m_ghost) {
        m_ghost->Destroy();
        m_ghost = nullptr;
    }
    if (m_parent && m_parent->HasCapture())
        m_parent->ReleaseMouse();
    if (m_parent && m_cursorShown)
        m_parent->SetCursor(wxNullCursor);
    m_cursorShown = false;
    Unbind();
    m_before.clear();
    m_after.clear();
    m_bar = nullptr;
    m_parent = nullptr;
}

void SplitterBar::OnBarDestroyed(wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() != m_bar)
        return;
    // The dialog is going: its windows are no longer ours to touch.
    m_keys.Remove();
    m_ghost = nullptr;
    Unbind();
    m_before.clear();
    m_after.clear();
    m_bar = nullptr;
    m_parent = nullptr;
}

wxRect SplitterBar::BarRectInParent() const { return m_bar->GetRect(); }

bool SplitterBar::OverBar(const wxPoint& parentPoint) const {
    return m_bar && m_bar->IsShown() && BarRectInParent().Contains(parentPoint);
}

void SplitterBar::RecalcPanes() {
    if (!m_bar)
        return;
    const wxRect bar = BarRectInParent();
    for (int id : m_before) {
        wxWindow* pane = m_parent->FindWindow(id);
        if (!pane)
            continue;
        const wxRect r = pane->GetRect();
        if (m_vertical)
            pane->SetSize(r.x, r.y, std::max(0, bar.x - r.x - 1), r.height, wxSIZE_ALLOW_MINUS_ONE);
        else
            pane->SetSize(r.x, r.y, r.width, std::max(0, bar.y - r.y - 1), wxSIZE_ALLOW_MINUS_ONE);
    }
    for (int id : m_after) {
        wxWindow* pane = m_parent->FindWindow(id);
        if (!pane)
            continue;
        const wxRect r = pane->GetRect();
        if (m_vertical) {
            const int left = bar.x + bar.width + 1;
            pane->SetSize(left, r.y, std::max(0, r.x + r.width - left), r.height, wxSIZE_ALLOW_MINUS_ONE);
        } else {
            const int top = bar.y + bar.height + 1;
            pane->SetSize(r.x, top, r.width, std::max(0, r.y + r.height - top), wxSIZE_ALLOW_MINUS_ONE);
        }
    }
    m_parent->Refresh(true);
}

void SplitterBar::MoveBarTo(int position) {
    wxRect limits;
    if (!m_bar || !GetDragLimits(limits, 0, 0))
        return;
    // The limits are screen positions of the bar's near edge.
    const wxPoint origin = m_parent->ClientToScreen(wxPoint(0, 0));
    const int first = Along(limits.GetPosition()) - Along(origin);
    const int last = first + (m_vertical ? limits.width : limits.height) - 1;
    const wxRect bar = BarRectInParent();
    const int at = std::clamp(position, first, last);
    m_bar->Move(m_vertical ? wxPoint(at, bar.y) : wxPoint(bar.x, at));
    RecalcPanes();
}

bool SplitterBar::GetDragLimits(wxRect& out, int x, int y) const {
    if (!m_bar)
        return false;
    // Worked out in the parent's client coordinates, where the panes and
    // the bar are placed, and turned into screen coordinates at the end.
    const wxRect client(wxPoint(0, 0), m_parent->GetClientSize());
    int lo = Start(client) + m_minBefore;
    for (int id : m_before)
        if (const wxWindow* pane = m_parent->FindWindow(id))
            lo = std::max(lo, Start(pane->GetRect()) + m_minBefore);
    int hi = End(client) - m_minAfter;
    for (int id : m_after)
        if (const wxWindow* pane = m_parent->FindWindow(id))
            hi = std::min(hi, End(pane->GetRect()) - m_minAfter);
    const wxRect bar = BarRectInParent();
    // No room at all, or less than the bar itself needs.
    if (lo >= hi || hi - lo < Thickness(bar))
        return false;
    const int span = hi - Thickness(bar) - lo + 1;
    const wxPoint origin = m_parent->ClientToScreen(wxPoint(0, 0));
    if (m_vertical)
        out = wxRect(origin.x + x + lo, origin.y + bar.y, span, bar.height);
    else
        out = wxRect(origin.x + bar.x, origin.y + y + lo, bar.width, span);
    return true;
}

void SplitterBar::OnParentLeftDown(wxMouseEvent& event) {
    wxWindow* source = static_cast<wxWindow*>(event.GetEventObject());
    const wxPoint p = source == m_bar ? event.GetPosition() + m_bar->GetPosition() : event.GetPosition();
    if (!OverBar(p) || m_ghost) {
        event.Skip();
        return;
    }
    if (wxWindow::GetCapture())
        return;
    const wxRect bar = BarRectInParent();
    if (!GetDragLimits(m_limits, p.x - bar.x, p.y - bar.y))
        return;
    m_parent->CaptureMouse();
    m_dragStart = bar;
    m_pressScreen = Along(m_parent->ClientToScreen(p));
    m_moved = 0;
    m_ghost = new wxWindow(m_parent, wxID_ANY, bar.GetPosition(), bar.GetSize(), wxBORDER_NONE, "Splitter image");
    m_ghost->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW).ChangeLightness(60));
    m_ghost->Enable(false);
    m_ghost->Raise();
    // A list with the focus handles its keys itself, before any handler of
    // the window could drop them: the keys are taken before any window has
    // them.
    m_keys.Install();
}

void SplitterBar::DragKeys::Install() {
    if (!m_installed)
        wxEvtHandler::AddFilter(this);
    m_installed = true;
}

void SplitterBar::DragKeys::Remove() {
    if (m_installed)
        wxEvtHandler::RemoveFilter(this);
    m_installed = false;
}

int SplitterBar::DragKeys::FilterEvent(wxEvent& event) {
    const wxEventType type = event.GetEventType();
    if (type != wxEVT_KEY_DOWN && type != wxEVT_KEY_UP && type != wxEVT_CHAR && type != wxEVT_CHAR_HOOK)
        return Event_Skip;
    // Only Escape counts; it ends the drag where the bar was last dragged
    // to. Every other key is dropped.
    if ((type == wxEVT_KEY_DOWN || type == wxEVT_CHAR_HOOK) &&
        static_cast<wxKeyEvent&>(event).GetKeyCode() == WXK_ESCAPE)
        m_bar.CallAfter([bar = &m_bar] { bar->EndDrag(); });
    return Event_Processed;
}

void SplitterBar::OnParentMotion(wxMouseEvent& event) {
    wxWindow* source = static_cast<wxWindow*>(event.GetEventObject());
    const wxPoint p = source == m_bar ? event.GetPosition() + m_bar->GetPosition() : event.GetPosition();
    if (!m_ghost) {
        // The bar's cursor while the pointer is over it.
        const bool over = OverBar(p);
        if (over != m_cursorShown) {
            m_parent->SetCursor(over ? wxCursor(m_vertical ? wxCURSOR_SIZEWE : wxCURSOR_SIZENS) : wxNullCursor);
            m_cursorShown = over;
        }
        event.Skip();
        return;
    }
    const int screen = Along(source->ClientToScreen(event.GetPosition()));
    const int first = Along(m_limits.GetPosition());
    const int last = first + (m_vertical ? m_limits.width : m_limits.height) - 1;
    m_moved = std::clamp(screen, first, last) - m_pressScreen;
    m_ghost->Move(m_dragStart.GetPosition() + (m_vertical ? wxPoint(m_moved, 0) : wxPoint(0, m_moved)));
}

void SplitterBar::OnParentLeftUp(wxMouseEvent& event) {
    if (m_ghost)
        EndDrag();
    else
        event.Skip();
}

void SplitterBar::OnParentRightDown(wxMouseEvent& event) {
    if (m_ghost)
        EndDrag();
    else
        event.Skip();
}

void SplitterBar::OnParentLeaveWindow(wxMouseEvent& event) {
    if (!m_ghost && m_cursorShown && m_parent) {
        m_parent->SetCursor(wxNullCursor);
        m_cursorShown = false;
    }
    event.Skip();
}

void SplitterBar::OnCaptureLost(wxMouseCaptureLostEvent&) {
    if (m_ghost)
        EndDrag();
}

void SplitterBar::EndDrag() {
    if (!m_ghost || m_ending)
        return;
    m_ending = true;
    m_keys.Remove();
    m_ghost->Destroy();
    m_ghost = nullptr;
    if (m_parent->HasCapture())
        m_parent->ReleaseMouse();
    m_ending = false;
    if (m_moved == 0)
        return;
    m_bar->Move(m_dragStart.GetPosition() + (m_vertical ? wxPoint(m_moved, 0) : wxPoint(0, m_moved)));
    RecalcPanes();
    wxCommandEvent moved(EVT_SPLITTER_MOVED, m_bar->GetId());
    moved.SetEventObject(m_bar);
    moved.SetInt(m_moved);
    moved.SetExtraLong(m_bar->GetId());
    m_parent->GetEventHandler()->ProcessEvent(moved);
}

}  // namespace pw
