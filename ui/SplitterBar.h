#pragma once
// A thin static control of a dialog that the user drags to move the border
// between the controls on its two sides. CVertSplitter (a vertical bar,
// moving sideways) and CHorzSplitter (a horizontal bar, moving up and down)
// are its two forms.
//
// The static itself stays what it is: GTK's separator has no window of its
// own, so the bar listens to the parent's mouse events over the static's
// rectangle. A drag captures the mouse, shows a dark image of the bar where
// it would go, and keeps that image within the limits (GTK cannot confine
// the pointer, so the position is clamped instead). While it lasts, every
// key of the program is kept from the windows (a list would act on it
// otherwise); Escape ends it.

#include <wx/event.h>
#include <wx/eventfilter.h>
#include <wx/window.h>

#include <vector>

namespace pw {

// Sent to the parent, synchronously, after a drag that moved the bar:
// GetInt() is the signed distance in pixels (right or down positive),
// GetId() and GetExtraLong() the bar's control number.
wxDECLARE_EVENT(EVT_SPLITTER_MOVED, wxCommandEvent);

class SplitterBar : public wxEvtHandler {
public:
    ~SplitterBar() override;
    SplitterBar(const SplitterBar&) = delete;
    SplitterBar& operator=(const SplitterBar&) = delete;

    // Takes over the parent's control with that number; both minimum
    // distances become 10. False when there is no such control.
    bool AttachToStatic(wxWindow* parent, int controlNumber);
    void SetMinPaneSizes(int before, int after);
    // The controls before (left of, or above) the bar and after it.
    bool AddLeftPane(int controlNumber);
    bool AddRightPane(int controlNumber);
    // Moves the panes so that they end one pixel before the bar and start
    // one pixel after it.
    void RecalcPanes();
    // Forgets the panes and gives the static back.
    void ReleaseBar();
    // Moves the bar's near edge (left, or top) to the position in the
    // parent, as far as the panes' limits allow, and the panes with it.
    void MoveBarTo(int position);
    // The screen rectangle the pointer may move in during a drag that
    // starts at (x, y) in the bar's coordinates; false when there is no
    // room to move.
    bool GetDragLimits(wxRect& out, int x, int y) const;

    wxWindow* GetBar() const { return m_bar; }
    bool IsDragging() const { return m_ghost != nullptr; }
    int GetMinBefore() const { return m_minBefore; }
    int GetMinAfter() const { return m_minAfter; }

protected:
    explicit SplitterBar(bool vertical);

private:
    // Along the direction the bar moves.
    int Along(const wxPoint& p) const { return m_vertical ? p.x : p.y; }
    int Start(const wxRect& r) const { return m_vertical ? r.x : r.y; }
    int End(const wxRect& r) const { return m_vertical ? r.GetRight() + 1 : r.GetBottom() + 1; }
    int Thickness(const wxRect& r) const { return m_vertical ? r.width : r.height; }
    wxRect BarRectInParent() const;
    bool OverBar(const wxPoint& parentPoint) const;

    void OnParentLeftDown(wxMouseEvent& event);
    void OnParentMotion(wxMouseEvent& event);
    void OnParentLeftUp(wxMouseEvent& event);
    void OnParentRightDown(wxMouseEvent& event);
    void OnParentLeaveWindow(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnBarDestroyed(wxWindowDestroyEvent& event);
    void EndDrag();
    void Unbind();

    const bool m_vertical;
    wxWindow* m_parent = nullptr;
    wxWindow* m_bar = nullptr;
    std::vector<int> m_before, m_after;
    int m_minBefore = 10, m_minAfter = 10;
    bool m_cursorShown = false;

    // The drag.
    wxWindow* m_ghost = nullptr;   // the image of the bar
    wxRect m_dragStart;            // the bar's rectangle in the parent
    wxRect m_limits;               // screen positions the pointer may take
    int m_pressScreen = 0;         // where the pointer was pressed, on screen, along the bar's move
    int m_moved = 0;
    bool m_ending = false;

    // Sees every key of the program before its windows do, during a drag.
    class DragKeys : public wxEventFilter {
    public:
        explicit DragKeys(SplitterBar& bar) : m_bar(bar) {}
        int FilterEvent(wxEvent& event) override;
        void Install();
        void Remove();

    private:
        SplitterBar& m_bar;
        bool m_installed = false;
    };
    DragKeys m_keys{*this};
};

}  // namespace pw
