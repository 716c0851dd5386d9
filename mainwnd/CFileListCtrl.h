#pragma once
// The main window's file list: a report list that keeps its rows' texts and
// icons itself and draws only the rows in view, so that thousands of rows
// cost no more to add than a few.
//
// Change rows only through the operations below (they hide the base class's
// ones of the same name): the base class's own InsertItem, SetItem and
// SetItemText do not store anything in a list of this kind. Reading
// (GetItemText, GetItemCount), selection and focus work as in any list.

#include <wx/listctrl.h>

#include <array>
#include <vector>

namespace pw {

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
};

}  // namespace pw
