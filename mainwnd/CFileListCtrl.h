#pragma once
// The main window's file list: the desktop's own list view (accessible to
// screen readers, with native column titles and focus), fed by a model that
// keeps the rows' texts and icons and hands the view only the rows in sight,
// so that thousands of rows cost no more to add than a few.
//
// Use only the operations below from outside: the rows, their selection and
// the events do not depend on the kind of list underneath. The view's own
// row, column and selection members are out of reach on purpose.

#include <wx/bmpbndl.h>
#include <wx/dataview.h>
#include <wx/listbase.h>
#include <wx/longlong.h>

#include <array>
#include <functional>
#include <vector>

namespace pw {

class FileListModel;

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
// A click on a column's title; GetInt() is the column (as added).
wxDECLARE_EVENT(EVT_FILELIST_COLUMN_CLICK, wxCommandEvent);
// The user dragged the selected rows to another place: GetInt() is the
// row they go before (the row count: the end). The list moves nothing
// itself.
wxDECLARE_EVENT(EVT_FILELIST_ROWS_DROPPED, wxCommandEvent);

}  // namespace pw

#ifdef __WXMSW__
#include "mainwnd/CFileListCtrl_msw.h"
#else

namespace pw {

class CFileListCtrl : public wxDataViewCtrl {
public:
    static constexpr int kColumns = 4;
    // The icon of an image index (as given to InsertItem) at every scale;
    // an empty bundle for none.
    using IconSource = std::function<wxBitmapBundle(int image)>;

    CFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style);
    ~CFileListCtrl() override;

    // Columns are added in order; format is wxLIST_FORMAT_LEFT, _RIGHT or
    // _CENTRE, width in pixels (wxLIST_AUTOSIZE: a default). Returns the
    // column's index, or -1. The first column shows the rows' icons.
    long InsertColumn(long column, const wxString& heading, int format = wxLIST_FORMAT_LEFT,
                      int width = wxLIST_AUTOSIZE);
    bool SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    unsigned GetColumnCount() const override { return wxDataViewCtrl::GetColumnCount(); }
    wxString GetColumnTitle(int column) const;

    // Where the rows' icons come from; an empty source shows none.
    void SetIconSource(IconSource icons);

    // Inserts a row at index (0 to GetItemCount()) with the text of column 0
    // and an icon index (-1: none); rows from index on move down with their
    // selection. Sends wxEVT_LIST_INSERT_ITEM (a wxListEvent, GetIndex() the
    // new row). Returns the index, or -1 when it is out of range.
    long InsertItem(long index, const wxString& text, int image = -1);
    // The same with the texts of all columns at once.
    long InsertItem(long index, const std::array<wxString, kColumns>& texts, int image = -1);
    // Sets the text of one cell; false when there is no such cell.
    bool SetItem(long index, int column, const wxString& text);
    bool SetItemText(long index, const wxString& text) { return SetItem(index, 0, text); }
    // Removes a row; the rows after it move up with their selection.
    bool DeleteItem(long index);
    bool DeleteAllItems();

    wxString GetItemText(long index, int column = 0) const;
    // A row's note: more about it than its cells show (why it failed). It
    // is the tooltip of the last column's cell and that cell's description
    // for screen readers; the first column's text is its cell's tooltip and
    // name. Notes go with their rows.
    bool SetItemNote(long index, const wxString& note);
    wxString GetItemNote(long index) const;
    int GetItemImage(long index) const;
    int GetItemCount() const;
    int GetSelectedItemCount() const;

    // Selection and focus by row index. Selecting through these sends
    // EVT_FILELIST_SELECTION_CHANGED as a user's selection would.
    bool IsSelected(long index) const;
    // The selected rows in ascending order.
    std::vector<long> GetSelectedItems() const;
    void SelectItem(long index, bool select = true);
    // Clears the selection and the focus of every row.
    void DeselectAllItems();
    long GetFocusedItem() const;  // -1 when no row has the focus
    // Gives the row the keyboard focus without changing the selection.
    void FocusItem(long index);
    // Scrolls so that the whole row is in view.
    void ScrollIntoView(long index);
    // Acts on a navigation key (arrows, Page Up/Down, Home, End) as if the
    // user had pressed it in the list, without sending EVT_FILELIST_KEY_DOWN:
    // Up, Down, Page Up/Down, Home and End move the focus and a single
    // selection, Left and Right scroll the columns sideways.
    void SendNavigationKey(int wxKeyCode);

    // The row at a point in the list's client coordinates, or -1.
    long HitTestRow(const wxPoint& point) const;

    // Puts the rows in a new order: order[i] is the index the row that goes
    // to i had before. Selection and focus go with their rows; nothing else
    // about the rows changes. False, with nothing changed, when order is no
    // permutation of the rows.
    bool ReorderRows(const std::vector<long>& order);
    // Moves the rows (indices in any order) together, in their order, to
    // before the row now at index before (the row count: to the end).
    bool MoveRows(std::vector<long> rows, long before);
    // Selects every row.
    void SelectAllRows();

private:
    // The view's own ways to the rows, columns and selection stay inside.
    using wxDataViewCtrl::AppendColumn;
    using wxDataViewCtrl::AppendTextColumn;
    using wxDataViewCtrl::AssociateModel;
    using wxDataViewCtrl::ClearColumns;
    using wxDataViewCtrl::DeleteColumn;
    using wxDataViewCtrl::GetModel;
    using wxDataViewCtrl::GetSelection;
    using wxDataViewCtrl::GetSelections;
    using wxDataViewCtrl::PrependColumn;
    using wxDataViewCtrl::Select;
    using wxDataViewCtrl::SelectAll;
    using wxDataViewCtrl::SetSelections;
    using wxDataViewCtrl::Unselect;
    using wxDataViewCtrl::UnselectAll;

    long InsertRow(long index, std::array<wxString, kColumns> texts, int image);
    wxDataViewItem ItemAt(long index) const;
    long RowOf(const wxDataViewItem& item) const;
    void NotifyRow(wxEventType type, long row);
    void NotifySelectionChanged();
    void OnKeyDown(wxKeyEvent& event);
    void SetUpRowDrags();
    // What screen readers find beside the cells' texts follows the rows
    // first to last once the list is idle.
    void DescribeRows(long first, long last);
    void OnIdle(wxIdleEvent& event);
    // Moves the focus and a single selection to the row, as a plain
    // navigation key does.
    void MoveTo(long row);
    // How far Page Up and Page Down move: the rows in view but one.
    long RowsPerPage() const;

    FileListModel* m_model = nullptr;
    std::vector<int> m_widths;  // as set, by column
    // The view always keeps a cursor row once it had one; "no row has the
    // focus" is kept here until the focus is given again.
    bool m_focusCleared = true;
    int m_quiet = 0;  // > 0 while the list changes the selection itself
    // The user's last two selections and when the last one was made.
    std::vector<long> m_selectionBefore, m_selectionNow;
    wxLongLong m_selectionChangedAt = 0;
    static constexpr long kCollapsedPressMs = 1500;
    // Rows whose cells screen readers are still to learn of: first and
    // last (-1: none); by position, which cells of the desktop's list keep.
    long m_describeFirst = -1, m_describeLast = -1;
    std::vector<bool> m_described;  // the last cell has a description
    bool m_listening = false;       // assistive programs listen

};

}  // namespace pw

#endif
