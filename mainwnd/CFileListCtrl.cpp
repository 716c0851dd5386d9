#include "mainwnd/CFileListCtrl.h"

namespace pw {

wxDEFINE_EVENT(EVT_FILELIST_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_DOUBLE_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_RIGHT_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_SELECTION_CHANGED, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_KEY_DOWN, wxKeyEvent);

CFileListCtrl::CFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxListCtrl(parent, id, pos, size, style | wxLC_REPORT | wxLC_VIRTUAL) {
    auto notify = [this](const wxEventType& type, long row) {
        wxCommandEvent event(type, GetId());
        event.SetEventObject(this);
        event.SetInt(static_cast<int>(row));
        GetEventHandler()->ProcessEvent(event);
    };
    Bind(wxEVT_LIST_ITEM_SELECTED, [notify](wxListEvent& e) { notify(EVT_FILELIST_SELECTION_CHANGED, -1); e.Skip(); });
    Bind(wxEVT_LIST_ITEM_DESELECTED, [notify](wxListEvent& e) { notify(EVT_FILELIST_SELECTION_CHANGED, -1); e.Skip(); });
    Bind(wxEVT_LIST_ITEM_ACTIVATED, [notify](wxListEvent& e) { notify(EVT_FILELIST_DOUBLE_CLICK, e.GetIndex()); });
    Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, [notify](wxListEvent& e) { notify(EVT_FILELIST_RIGHT_CLICK, e.GetIndex()); });
    // The rows are drawn by a child window of the list.
    for (wxWindow* rows : GetChildren()) {
        rows->Bind(wxEVT_LEFT_UP, [this, notify](wxMouseEvent& e) {
            int flags = 0;
            notify(EVT_FILELIST_CLICK, HitTest(e.GetPosition(), flags));
            e.Skip();
        });
        rows->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) {
            if (m_handingBackKey) {
                e.Skip();
                return;
            }
            wxKeyEvent forwarded(e);
            forwarded.SetEventType(EVT_FILELIST_KEY_DOWN);
            forwarded.SetEventObject(this);
            forwarded.Skip(false);
            GetEventHandler()->ProcessEvent(forwarded);
            if (forwarded.GetSkipped())
                e.Skip();
        });
    }
}

bool CFileListCtrl::IsSelected(long index) const {
    return index >= 0 && index < GetItemCount() && (GetItemState(index, wxLIST_STATE_SELECTED) & wxLIST_STATE_SELECTED);
}

std::vector<long> CFileListCtrl::GetSelectedItems() const {
    std::vector<long> rows;
    for (long i = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i != -1;
         i = GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(i);
    return rows;
}

void CFileListCtrl::SelectItem(long index, bool select) {
    if (index >= 0 && index < GetItemCount())
        SetItemState(index, select ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
}

void CFileListCtrl::DeselectAllItems() {
    for (long i : GetSelectedItems())
        SetItemState(i, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

long CFileListCtrl::GetFocusedItem() const { return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED); }

void CFileListCtrl::FocusItem(long index) {
    if (index >= 0 && index < GetItemCount())
        SetItemState(index, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
}

void CFileListCtrl::ScrollIntoView(long index) {
    if (index >= 0 && index < GetItemCount())
        EnsureVisible(index);
}

void CFileListCtrl::SendNavigationKey(int wxKeyCode) {
    m_handingBackKey = true;
    for (wxWindow* rows : GetChildren()) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = wxKeyCode;
        key.SetEventObject(rows);
        rows->GetEventHandler()->ProcessEvent(key);
    }
    m_handingBackKey = false;
}

long CFileListCtrl::InsertItem(long index, const wxString& text, int image) {
    Row row;
    row.texts[0] = text;
    row.image = image;
    return InsertRow(index, std::move(row));
}

long CFileListCtrl::InsertItem(long index, const std::array<wxString, kColumns>& texts, int image) {
    Row row;
    row.texts = texts;
    row.image = image;
    return InsertRow(index, std::move(row));
}

long CFileListCtrl::InsertRow(long index, Row row) {
    const long count = static_cast<long>(m_rows.size());
    if (index < 0 || index > count)
        return -1;
    // The selection is kept by index; rows below the new one take theirs
    // along. Appending, the usual case, moves nothing.
    std::vector<long> moved;
    long focused = -1;
    if (index < count) {
        for (long i = GetNextItem(index - 1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i != -1;
             i = GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
            moved.push_back(i);
        focused = GetNextItem(index - 1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    }
    m_rows.insert(m_rows.begin() + index, std::move(row));
    SetItemCount(count + 1);
    if (index < count) {
        for (long i : moved)
            SetItemState(i, 0, wxLIST_STATE_SELECTED);
        for (long i : moved)
            SetItemState(i + 1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        if (focused >= 0)
            SetItemState(focused + 1, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
        RefreshItems(index, count);
    }

    wxListEvent inserted(wxEVT_LIST_INSERT_ITEM, GetId());
    inserted.SetEventObject(this);
    inserted.m_itemIndex = index;
    GetEventHandler()->ProcessEvent(inserted);
    return index;
}

bool CFileListCtrl::SetItem(long index, int column, const wxString& text) {
    if (index < 0 || index >= static_cast<long>(m_rows.size()) || column < 0 || column >= kColumns)
        return false;
    m_rows[static_cast<std::size_t>(index)].texts[static_cast<std::size_t>(column)] = text;
    RefreshItem(index);
    return true;
}

bool CFileListCtrl::DeleteItem(long index) {
    if (index < 0 || index >= static_cast<long>(m_rows.size()))
        return false;
    // The control moves the selection of the rows below up by one.
    wxListCtrl::DeleteItem(index);
    m_rows.erase(m_rows.begin() + index);
    if (GetItemCount() != static_cast<long>(m_rows.size()))
        SetItemCount(static_cast<long>(m_rows.size()));
    Refresh();
    return true;
}

bool CFileListCtrl::DeleteAllItems() {
    m_rows.clear();
    wxListCtrl::DeleteAllItems();
    if (GetItemCount() != 0)
        SetItemCount(0);
    Refresh();
    return true;
}

int CFileListCtrl::GetItemImage(long index) const {
    if (index < 0 || index >= static_cast<long>(m_rows.size()))
        return -1;
    return m_rows[static_cast<std::size_t>(index)].image;
}

wxString CFileListCtrl::OnGetItemText(long item, long column) const {
    if (item < 0 || item >= static_cast<long>(m_rows.size()) || column < 0 || column >= kColumns)
        return wxString();
    return m_rows[static_cast<std::size_t>(item)].texts[static_cast<std::size_t>(column)];
}

int CFileListCtrl::OnGetItemImage(long item) const { return GetItemImage(item); }

int CFileListCtrl::OnGetItemColumnImage(long item, long column) const {
    return column == 0 ? GetItemImage(item) : -1;
}

}  // namespace pw
