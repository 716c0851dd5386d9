#include "mainwnd/CFileListCtrl.h"

namespace pw {

CFileListCtrl::CFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxListCtrl(parent, id, pos, size, style | wxLC_REPORT | wxLC_VIRTUAL) {}

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
