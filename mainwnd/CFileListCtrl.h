#pragma once
// The main window's file list: a report list that keeps its rows' texts and
// icons itself and draws only the rows in view, so that thousands of rows
// cost no more to add than a few.
//
// Use only the operations below from outside, together with the column set-up
// (InsertColumn, SetColumnWidth, GetColumnWidth), GetItemText (index, column),
// GetItemCount and GetSelectedItemCount: the rows, their selection and the
// events do not depend on the kind of list underneath.

#include <wx/listctrl.h>

#include <array>
#include <vector>

namespace pw {

// What the list tells its parent, as wxCommandEvents with the list's id;
// GetInt() is the row under the pointer, or -1 beside the rows.
wxDECLARE_EVENT(EVT_FILELIST_CLICK, wxCommandEvent);
wxDECLARE_EVENT(EVT_FILELIST_DOUBLE_CLICK, wxCommandEvent);
wxDECLARE_EVENT(EVT_FILELIST_RIGHT_CLICK, wxCommandEvent);
// Any change of the selected rows, by the user or by the program; GetInt()
// is -1.
wxDECLARE_EVENT(EVT_FILELIST_SELECTION_CHANGED, wxCommandEvent);
// A key pressed while the list has the focus, as a wxKeyEvent, sent to the
// parent before the list acts on it. The list acts on it (moving the focus
// and selection) only when the handler calls Skip(); SendNavigationKey lets
// the parent hand a key back.
wxDECLARE_EVENT(EVT_FILELIST_KEY_DOWN, wxKeyEvent);

class CFileListCtrl : public wxListCtrl {
public:
    static constexpr int kColumns = 4;

    CFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style);

    // Inserts a row at index (0 to GetItemCount()) with the text of column 0
    // and an icon of the small image list (-1: none); rows from index on move
    // down with their selection. Sends wxEVT_LIST_INSERT_ITEM. Returns the
    // index, or -1 when it is out of range.
    long InsertItem(long index, const wxString& text, int image = -1);
    // The same with the texts of all columns at once.
    long InsertItem(long index, const std::array<wxString, kColumns>& texts, int image = -1);
    // Sets the text of one cell; false when there is no such cell.
    bool SetItem(long index, int column, const wxString& text);
    bool SetItemText(long index, const wxString& text) { return SetItem(index, 0, text); }
    // Removes a row; the rows after it move up with their selection.
    bool DeleteItem(long index);
    bool DeleteAllItems();

    int GetItemImage(long index) const;

    // Selection and focus by row index. Selecting through these sends
    // EVT_FILELIST_SELECTION_CHANGED as a user's selection would.
    bool IsSelected(long index) const;
    // The selected rows in ascending order.
    std::vector<long> GetSelectedItems() const;
    void SelectItem(long index, bool select = true);
    void DeselectAllItems();
    long GetFocusedItem() const;  // -1 when no row has the focus
    void FocusItem(long index);
    // Scrolls so that the whole row is in view.
    void ScrollIntoView(long index);
    // Acts on a navigation key (arrows, Page Up/Down, Home, End) as if the
    // user had pressed it in the list, without sending EVT_FILELIST_KEY_DOWN.
    void SendNavigationKey(int wxKeyCode);

protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;
    int OnGetItemColumnImage(long item, long column) const override;

private:
    struct Row {
        std::array<wxString, kColumns> texts;
        int image = -1;
    };
    long InsertRow(long index, Row row);

    std::vector<Row> m_rows;
    bool m_handingBackKey = false;
};

}  // namespace pw
