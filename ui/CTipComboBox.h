#pragma once
// A combo box that shows the whole text of a truncated entry in a tip
// window when the mouse rests on it (in the open list, over the text part,
// or on the face of a drop-down list), keeps entries that cannot be chosen
// with the mouse or the wheel, and can align a list wider than the combo
// to its right edge or its centre.
//
// It is built on wx's owner-drawn combo (wxComboCtrl with a list of its
// own), since GTK's native combo gives no access to its list. All combos
// of the class share one tip window, which lives while any of them does.

#include <wx/combo.h>
#include <wx/timer.h>
#include <wx/vlbox.h>

#include <vector>

namespace pw {

class TipComboList;

class CTipComboBox : public wxComboCtrl {
public:
    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCentre = 2 };

    // style: wxCB_READONLY makes a drop-down list (no text part).
    // attachParts false leaves out the list tips and the face tip.
    CTipComboBox(wxWindow* parent, wxWindowID id, const wxString& value = wxString(),
                 const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize, long style = 0,
                 bool attachParts = true);
    ~CTipComboBox() override;

    // Entries.
    int Append(const wxString& text);
    unsigned GetCount() const { return static_cast<unsigned>(m_entries.size()); }
    wxString GetString(unsigned index) const;
    int GetSelection() const { return m_selection; }
    // Selects the entry (-1: none) and shows its text; no event is sent.
    void SetSelection(int index);

    // Entries the mouse and the wheel cannot choose (the keyboard still can).
    void AddDisabledEntry(unsigned index) { m_disabled.push_back(index); }
    bool IsDisabledEntry(int index) const;

    // The open list's width when wider than the combo, and which edge of
    // the combo it keeps to.
    void SetDroppedWidth(int width) { m_droppedWidth = width; }
    int GetDroppedWidth() const;
    void SetDropAlignment(int alignment) { m_alignment = alignment; }
    int GetDropAlignment() const { return m_alignment; }
    // How far left of the combo's client origin a list of droppedWidth
    // starts, for a combo whose client area is clientWidth wide.
    static int DropShift(int alignment, int droppedWidth, int clientWidth);

    // The tips. The shared tip window (null when no combo exists), the list
    // entry whose tip was last handled (-1 for none), and how long a tip
    // stays.
    static wxWindow* GetTipWindow();
    static int GetTipItem();
    static constexpr int kTipTimeMs = 9000;
    static constexpr int kHoverMs = 400;
    // The mouse moved to point (client coordinates of the open list).
    void OnListMouseMove(const wxPoint& point);
    void OnListMouseLeave();
    // The mouse rested on the text part, or on the face of a drop-down list.
    void ShowEditTip();
    void ShowFaceTip();
    static void HideTip();

    // A turn of the wheel over the closed combo: one entry on, then past
    // the disabled entries.
    void WheelStep(int rotation);

    // Draws entry index of the open list into rect.
    void DrawEntry(wxDC& dc, const wxRect& rect, int index, bool selected) const;

    // Opens the list, placed by the alignment.
    void ShowPopup() override;

    // The open list's window (created with the combo, shown while open).
    wxVListBox* GetListBox() const;
    bool PartsAttached() const { return m_attachParts; }

private:
    friend class TipComboList;
    // Shows a tip for text over rect (client coordinates of window) when
    // the text does not fit; hides the tip otherwise. True when shown.
    static bool ShowTip(wxWindow* window, const wxRect& rect, const wxString& text);
    static bool PointerIsOver(const wxWindow* part);
    void ChooseEntry(int index);
    void OnMouseWheel(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnHoverTimer(wxTimerEvent& event);

    std::vector<wxString> m_entries;
    std::vector<unsigned> m_disabled;
    int m_selection = -1;
    int m_alignment = AlignLeft;
    int m_droppedWidth = 0;
    bool m_attachParts;
    TipComboList* m_list = nullptr;
    wxTimer m_hover;
    wxWindow* m_hoverWindow = nullptr;  // the part the hover timer runs for
};

}  // namespace pw
