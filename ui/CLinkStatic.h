#pragma once
// A line of text that is a link: drawn in link colours (hover, visited),
// with a hand pointer and a tooltip naming its target; a click (or Space or
// Return while it has the focus) opens the target with the desktop's
// program for it, and a failure is reported in a message box. A double
// click opens it once.

#include <wx/control.h>

namespace pw {

class CLinkStatic : public wxControl {
public:
    // Style bits: wxALIGN_CENTRE_HORIZONTAL or wxALIGN_RIGHT place the text
    // (left otherwise), wxALIGN_CENTRE_VERTICAL centres it vertically (top
    // otherwise); fitting to the text keeps that place.
    CLinkStatic();
    CLinkStatic(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);
    bool Create(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    // The target; with an empty target the text is the target, and an empty
    // text shows the target.
    void SetLinkTarget(const wxString& target);
    const wxString& GetLinkTarget() const { return m_target; }
    void MarkVisited(bool visited);
    bool IsVisited() const { return m_visited; }
    void SetUnderlined(bool underlined);
    bool IsUnderlined() const { return m_underlined; }
    // Whether the control shrinks or grows to its text (on by default).
    void SetFitToText(bool fit) { m_fitToText = fit; }
    void FitToText();
    bool IsHovering() const { return m_hovering; }

    wxColour GetLinkColour() const { return m_linkColour; }
    wxColour GetVisitedColour() const { return m_visitedColour; }
    wxColour GetHoverColour() const { return m_hoverColour; }
    // The colour the text is drawn in now.
    wxColour GetCurrentColour() const;

    // What a click does: opens the target without making the window wait,
    // then remembers whether that worked and reports a failure.
    void Activate();
    // ShellOpen's result for the target: above 32 is success, else the
    // failure's code.
    void OnOpened(int result);
    void ShowOpenError(int code);
    // The message ShowOpenError shows for a code.
    static wxString OpenErrorText(int code);

    void SetLabel(const wxString& label) override;
    bool AcceptsFocus() const override { return true; }
    bool AcceptsFocusFromKeyboard() const override { return true; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void Init();
    void SetHovering(bool hovering);
    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);

    wxColour m_linkColour{0, 0, 238};
    wxColour m_visitedColour{85, 26, 139};
    wxColour m_hoverColour;
    bool m_hovering = false;
    bool m_visited = false;
    bool m_underlined = true;
    bool m_fitToText = true;
    wxString m_target;
    // A click sequence (a double or triple click) opens the target once:
    // a press that follows the last release within the desktop's
    // double-click time continues it.
    long m_lastRelease = 0;
    bool m_sequenceGoesOn = false;
};

}  // namespace pw
