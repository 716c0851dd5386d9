#include "ui/CTipComboBox.h"

#include "ui/PointerPassThrough.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/popupwin.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/vlbox.h>

#include <algorithm>

namespace pw {

namespace {

// The one tip window of all combos: a borderless popup in the tooltip
// colours that hides itself after the tip time.
class TipWindow : public wxPopupWindow {
public:
    TipWindow() : wxPopupWindow(nullptr, wxBORDER_NONE), m_timer(this) {
        // It comes up under the pointer; taking the pointer itself would
        // tell the part beneath that the pointer left it, which hides it.
        LetPointerPassThrough(this);
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        Bind(wxEVT_PAINT, &TipWindow::OnPaint, this);
        Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Hide(); });
    }
    // The same tip again, while it shows, stays as it is.
    bool IsShowing(const wxString& text, const wxRect& screenRect) const {
        return IsShown() && GetLabel() == text && GetScreenRect() == screenRect;
    }
    void ShowText(const wxString& text, const wxRect& screenRect) {
        m_timer.Stop();
        Hide();
        SetLabel(text);
        SetSize(screenRect);
        Show();
        Raise();
        Refresh();
        m_timer.StartOnce(CTipComboBox::kTipTimeMs);
    }
    bool Show(bool show = true) override {
        if (!show)
            m_timer.Stop();
        return wxPopupWindow::Show(show);
    }

private:
    void OnPaint(wxPaintEvent&) {
        wxAutoBufferedPaintDC dc(this);
        const wxRect r(GetClientSize());
        dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOBK)));
        dc.SetPen(*wxBLACK_PEN);
        dc.DrawRectangle(r);
        dc.SetFont(GetFont());
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_INFOTEXT));
        dc.DrawLabel(GetLabel(), r, wxALIGN_CENTER);
    }
    wxTimer m_timer;
};

TipWindow* g_tip = nullptr;
int g_combos = 0;
int g_tipItem = -1;
const wxWindow* g_tipPart = nullptr;  // the part whose tip shows, while one does

}  // namespace

// The open list: owner-drawn entries, the list tips, and entries that the
// mouse cannot choose.
class TipComboList : public wxVListBox, public wxComboPopup {
public:
    explicit TipComboList(CTipComboBox* owner) : m_owner(owner) {}

    bool Create(wxWindow* parent) override {
        if (!wxVListBox::Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_SIMPLE, "Entries"))
            return false;
        SetFont(m_owner->GetFont());
        Bind(wxEVT_MOTION, &TipComboList::OnMotion, this);
        Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& e) {
            m_owner->OnListMouseLeave();
            e.Skip();
        });
        Bind(wxEVT_LEFT_DOWN, &TipComboList::OnLeftDown, this);
        Bind(wxEVT_LEFT_DCLICK, &TipComboList::OnLeftDown, this);
        Bind(wxEVT_LEFT_UP, &TipComboList::OnLeftUp, this);
        Bind(wxEVT_KEY_DOWN, &TipComboList::OnKey, this);
        return true;
    }
    wxWindow* GetControl() override { return this; }
    wxString GetStringValue() const override {
        const int sel = GetSelection();
        return sel >= 0 ? m_owner->GetString(static_cast<unsigned>(sel)) : wxString();
    }
    void SetStringValue(const wxString&) override {}
    void OnPopup() override {
        SetItemCount(m_owner->GetCount());
        SetSelection(m_owner->GetSelection());
        g_tipItem = -1;
    }
    void OnDismiss() override { CTipComboBox::HideTip(); }
    // Up and Down on the closed combo step through the entries; the
    // keyboard may choose any of them.
    void OnComboKeyEvent(wxKeyEvent& event) override {
        const int key = event.GetKeyCode();
        const int count = static_cast<int>(m_owner->GetCount());
        if ((key == WXK_DOWN || key == WXK_UP) && count > 0 && !event.AltDown()) {
            const int sel = m_owner->GetSelection();
            const int next = std::clamp(sel < 0 ? 0 : sel + (key == WXK_DOWN ? 1 : -1), 0, count - 1);
            if (next != sel)
                m_owner->ChooseEntry(next);
            return;
        }
        event.Skip();
    }
    wxSize GetAdjustedSize(int minWidth, int prefHeight, int maxHeight) override {
        const int rows = static_cast<int>(std::min<size_t>(GetItemCount(), 12));
        int height = rows * RowHeight() + 2;
        if (prefHeight > 0)
            height = std::min(height, prefHeight);
        return wxSize(minWidth, std::max(RowHeight() + 2, std::min(height, maxHeight)));
    }
    // The entry under a point, or -1.
    int EntryAt(const wxPoint& p) const {
        const int item = VirtualHitTest(p.y);
        return item >= 0 && static_cast<unsigned>(item) < m_owner->GetCount() ? item : -1;
    }
    int RowHeight() const { return GetCharHeight() + 6; }

    bool PressAt(const wxPoint& p) { return !m_owner->IsDisabledEntry(EntryAt(p)); }
    void ReleaseAt(const wxPoint& p) {
        const int item = EntryAt(p);
        if (item < 0 || m_owner->IsDisabledEntry(item))
            return;
        m_owner->ChooseEntry(item);
        Dismiss();
    }

protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override {
        m_owner->DrawEntry(dc, rect, static_cast<int>(n), IsSelected(n));
    }
    void OnDrawBackground(wxDC&, const wxRect&, size_t) const override {}
    wxCoord OnMeasureItem(size_t) const override { return RowHeight(); }

private:
    void OnMotion(wxMouseEvent& event) {
        const wxPoint p = event.GetPosition();
        m_owner->OnListMouseMove(p);
        const int item = EntryAt(p);
        if (item >= 0 && item != GetSelection())
            SetSelection(item);  // the entry under the mouse is the highlighted one
        event.Skip();
    }
    void OnLeftDown(wxMouseEvent& event) {
        // A press on a disabled entry is swallowed: it cannot be chosen.
        if (PressAt(event.GetPosition()))
            event.Skip();
    }
    void OnLeftUp(wxMouseEvent& event) { ReleaseAt(event.GetPosition()); }
    void OnKey(wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
            if (GetSelection() >= 0)
                m_owner->ChooseEntry(GetSelection());
            Dismiss();
            return;
        }
        if (key == WXK_ESCAPE) {
            Dismiss();
            return;
        }
        event.Skip();
    }

    CTipComboBox* m_owner;
};

CTipComboBox::CTipComboBox(wxWindow* parent, wxWindowID id, const wxString& value, const wxPoint& pos,
                           const wxSize& size, long style, bool attachParts)
    : wxComboCtrl(parent, id, value, pos, size, style, wxDefaultValidator, "TipComboBox"),
      m_attachParts(attachParts), m_hover(this) {
    if (!g_tip)
        g_tip = new TipWindow();
    ++g_combos;
    m_list = new TipComboList(this);
    SetPopupControl(m_list);
    Bind(wxEVT_MOUSEWHEEL, &CTipComboBox::OnMouseWheel, this);
    Bind(wxEVT_TIMER, &CTipComboBox::OnHoverTimer, this);
    Bind(wxEVT_LEFT_DOWN, &CTipComboBox::OnLeftDown, this);
    if (attachParts) {
        Bind(wxEVT_MOTION, &CTipComboBox::OnMotion, this);
        Bind(wxEVT_LEAVE_WINDOW, &CTipComboBox::OnLeave, this);
        if (wxTextCtrl* text = GetTextCtrl()) {
            text->Bind(wxEVT_MOTION, &CTipComboBox::OnMotion, this);
            text->Bind(wxEVT_LEAVE_WINDOW, &CTipComboBox::OnLeave, this);
        }
    }
}

CTipComboBox::~CTipComboBox() {
    m_hover.Stop();
    // The last combo takes the shared tip window with it.
    if (--g_combos == 0 && g_tip) {
        g_tip->Destroy();
        g_tip = nullptr;
        g_tipItem = -1;
    }
}

wxWindow* CTipComboBox::GetTipWindow() { return g_tip; }
wxVListBox* CTipComboBox::GetListBox() const { return m_list; }
int CTipComboBox::GetTipItem() { return g_tipItem; }

int CTipComboBox::Append(const wxString& text) {
    m_entries.push_back(text);
    if (m_list->IsCreated())
        m_list->SetItemCount(m_entries.size());
    return static_cast<int>(m_entries.size()) - 1;
}

wxString CTipComboBox::GetString(unsigned index) const {
    return index < m_entries.size() ? m_entries[index] : wxString();
}

void CTipComboBox::SetSelection(int index) {
    m_selection = index >= 0 && static_cast<unsigned>(index) < m_entries.size() ? index : -1;
    SetValue(m_selection >= 0 ? m_entries[m_selection] : wxString());
}

bool CTipComboBox::IsDisabledEntry(int index) const {
    return index >= 0 && std::find(m_disabled.begin(), m_disabled.end(), static_cast<unsigned>(index)) != m_disabled.end();
}

void CTipComboBox::ChooseEntry(int index) {
    SetSelection(index);
    wxCommandEvent event(wxEVT_COMBOBOX, GetId());
    event.SetEventObject(this);
    event.SetInt(m_selection);
    event.SetString(GetValue());
    ProcessWindowEvent(event);
}

int CTipComboBox::GetDroppedWidth() const { return std::max(m_droppedWidth, GetClientSize().x); }

int CTipComboBox::DropShift(int alignment, int droppedWidth, int clientWidth) {
    const int extra = std::max(0, droppedWidth - clientWidth);
    if (alignment == AlignRight)
        return extra;
    if (alignment == AlignCentre)
        return extra / 2;
    return 0;
}

void CTipComboBox::ShowPopup() {
    const int client = GetClientSize().x;
    const int extra = std::max(0, GetDroppedWidth() - client);
    const int shift = DropShift(m_alignment, GetDroppedWidth(), client);
    SetPopupExtents(shift, extra - shift);
    wxComboCtrl::ShowPopup();
}

bool CTipComboBox::ShowTip(wxWindow* window, const wxRect& rect, const wxString& text) {
    if (!g_tip || !window)
        return false;
    wxClientDC dc(window);
    dc.SetFont(g_tip->GetFont());
    const wxSize extent = dc.GetMultiLineTextExtent(text);
    if (rect.x + extent.x <= rect.GetRight() + 1) {
        g_tip->Hide();  // it fits: no tip, and none left over from before
        return false;
    }
    wxRect tip(rect.x, rect.y, extent.x, rect.height);
    tip.Inflate(2);
    tip.SetPosition(window->ClientToScreen(tip.GetPosition()));
    g_tipPart = window;
    if (!g_tip->IsShowing(text, tip))
        g_tip->ShowText(text, tip);
    return true;
}

void CTipComboBox::HideTip() {
    if (g_tip)
        g_tip->Hide();
}

void CTipComboBox::OnListMouseMove(const wxPoint& point) {
    if (!m_attachParts || !m_list->IsCreated())
        return;
    if (!wxRect(m_list->GetClientSize()).Contains(point)) {
        OnListMouseLeave();
        return;
    }
    const int item = m_list->EntryAt(point);
    if (item < 0 || item == g_tipItem)
        return;
    g_tipItem = item;
    ShowTip(m_list, m_list->GetItemRect(static_cast<size_t>(item)), m_entries[item]);
}

void CTipComboBox::OnListMouseLeave() {
    if (PointerIsOver(m_list))
        return;
    g_tipItem = -1;
    HideTip();
}

// The toolkit also reports a leave when the pointer goes into a child or a
// grab moves; only a pointer outside the part has left it.
bool CTipComboBox::PointerIsOver(const wxWindow* part) {
    return part && part->IsShownOnScreen() && part->GetScreenRect().Contains(wxGetMousePosition());
}

void CTipComboBox::ShowEditTip() {
    wxTextCtrl* text = GetTextCtrl();
    if (!text)
        return;
    ShowTip(text, wxRect(text->GetClientSize()), text->GetValue());
}

void CTipComboBox::ShowFaceTip() {
    if (!m_attachParts || GetTextCtrl())
        return;
    wxRect r(GetClientSize());
    r.Deflate(2);
    r.width -= GetButtonSize().x;
    ShowTip(this, r, GetValue());
}

void CTipComboBox::OnMotion(wxMouseEvent& event) {
    // The tip comes when the mouse rests; a move starts the wait again,
    // unless the tip of this part shows already.
    event.Skip();
    m_hoverWindow = static_cast<wxWindow*>(event.GetEventObject());
    if (!(g_tip && g_tip->IsShown() && g_tipPart == m_hoverWindow))
        m_hover.StartOnce(kHoverMs);
}

void CTipComboBox::OnLeave(wxMouseEvent& event) {
    event.Skip();
    if (PointerIsOver(this))
        return;
    m_hover.Stop();
    HideTip();
}

void CTipComboBox::OnHoverTimer(wxTimerEvent&) {
    if (IsPopupShown())
        return;
    if (m_hoverWindow == GetTextCtrl())
        ShowEditTip();
    else
        ShowFaceTip();
}

void CTipComboBox::OnLeftDown(wxMouseEvent& event) {
    m_hover.Stop();
    HideTip();
    event.Skip();
}

void CTipComboBox::OnMouseWheel(wxMouseEvent& event) {
    if (IsPopupShown()) {
        event.Skip();
        return;
    }
    WheelStep(event.GetWheelRotation());
}

void CTipComboBox::WheelStep(int rotation) {
    if (m_entries.empty() || rotation == 0)
        return;
    const int count = static_cast<int>(m_entries.size());
    const int step = rotation < 0 ? 1 : -1;  // towards the user: the next entry
    const int before = m_selection;
    int sel = m_selection < 0 ? 0 : std::clamp(m_selection + step, 0, count - 1);
    // Past the disabled entries, in the order they were added.
    for (unsigned disabled : m_disabled)
        if (static_cast<int>(disabled) == sel)
            sel += step;
    // One pass can end on a disabled entry when they were added out of
    // order; go on to the first one that can be chosen. Beyond the ends the
    // selection stays where it was.
    while (sel >= 0 && sel < count && IsDisabledEntry(sel))
        sel += step;
    if (sel < 0 || sel >= count)
        sel = before;
    if (sel != before && sel >= 0)
        ChooseEntry(sel);
}

void CTipComboBox::DrawEntry(wxDC& dc, const wxRect& rect, int index, bool selected) const {
    if (index < 0 || static_cast<unsigned>(index) >= m_entries.size())
        return;
    const bool disabledEntry = IsDisabledEntry(index);
    wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT);
    wxColour fill = wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX);
    if (selected && !disabledEntry) {
        text = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
        fill = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    }
    if (!IsEnabled() || disabledEntry)
        text = wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
    dc.SetBrush(wxBrush(fill));
    dc.SetPen(wxPen(fill));
    dc.DrawRectangle(rect);
    const wxColour oldText = dc.GetTextForeground();
    dc.SetTextForeground(text);
    wxRect inner = rect;
    inner.Deflate(3, 0);
    dc.DrawLabel(m_entries[index], inner, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    dc.SetTextForeground(oldText);
}

}  // namespace pw
