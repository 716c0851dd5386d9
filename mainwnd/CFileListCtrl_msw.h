#pragma once
// The file list on Windows: the system's list view in virtual report mode,
// which keeps only the rows' states and asks for the cells it draws, so
// that screen readers and other programs read it as any list view. The
// operations are those of CFileListCtrl.h, which documents them; included
// from there.

#include <wx/listctrl.h>

struct _IMAGELIST;

namespace pw {

class CFileListCtrl : public wxListCtrl {
public:
    static constexpr int kColumns = 4;

    CFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style);
    ~CFileListCtrl() override;

    long InsertColumn(long column, const wxString& heading, int format = wxLIST_FORMAT_LEFT,
                      int width = wxLIST_AUTOSIZE);
    bool SetColumnWidth(int column, int width) override;
    int GetColumnWidth(int column) const override;
    wxString GetColumnTitle(int column) const;

    // The rows' images are indexes into these lists (the small list for the
    // report view), which the list shows until ReturnImageLists and never
    // destroys: they belong to their lender. Null: none of that size.
    void BorrowImageLists(_IMAGELIST* small, _IMAGELIST* large);
    void ReturnImageLists();

    long InsertItem(long index, const wxString& text, int image = -1);
    long InsertItem(long index, const std::array<wxString, kColumns>& texts, int image = -1);
    bool SetItem(long index, int column, const wxString& text);
    bool SetItemText(long index, const wxString& text) { return SetItem(index, 0, text); }
    bool DeleteItem(long index);
    bool DeleteAllItems();

    wxString GetItemText(long index, int column = 0) const;
    bool SetItemNote(long index, const wxString& note);
    wxString GetItemNote(long index) const;
    int GetItemImage(long index) const;
    int GetItemCount() const override;
    int GetSelectedItemCount() const;

    bool IsSelected(long index) const;
    std::vector<long> GetSelectedItems() const;
    void SelectItem(long index, bool select = true);
    void DeselectAllItems();
    long GetFocusedItem() const;
    void FocusItem(long index);
    void ScrollIntoView(long index);
    void SendNavigationKey(int wxKeyCode);

    long HitTestRow(const wxPoint& point) const;

    bool ReorderRows(const std::vector<long>& order);
    bool MoveRows(std::vector<long> rows, long before);
    void SelectAllRows();

protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;
    int OnGetItemColumnImage(long item, long column) const override;
    bool MSWOnNotify(int idCtrl, WXLPARAM lParam, WXLPARAM* result) override;
    WXLRESULT MSWWindowProc(WXUINT message, WXWPARAM wParam, WXLPARAM lParam) override;

private:
    // The row-based operations of the toolkit's list stay inside.
    using wxListCtrl::ClearAll;
    using wxListCtrl::GetNextItem;
    using wxListCtrl::GetItemState;
    using wxListCtrl::SetItemState;
    using wxListCtrl::SetItemCount;

    struct Row {
        std::array<wxString, kColumns> texts;
        int image = -1;
        wxString note;
    };

    long InsertRow(long index, std::array<wxString, kColumns> texts, int image);
    // Gives exactly these rows the selection (and the row the focus, -1:
    // none), without telling anyone.
    void SetRowStates(const std::vector<long>& selected, long focused);
    void NotifyRow(wxEventType type, long row);
    // Tells the parent when the selection differs from the one it was last
    // told of; the list's own changes are told once they are done.
    void CheckSelection();
    void NotifySelectionChanged();
    void OnKeyDown(wxKeyEvent& event);
    void SetUpRowDrags();
    void MoveTo(long row);
    long RowsPerPage() const;

    std::vector<Row> m_rows;
    bool m_borrowsImageLists = false;
    bool m_focusCleared = true;
    int m_quiet = 0;
    std::vector<long> m_selectionTold;
};

}  // namespace pw
