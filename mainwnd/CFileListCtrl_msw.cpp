#include "mainwnd/CFileListCtrl.h"
#include "mainwnd/FileListAccessible_msw.h"
#include "mainwnd/FileListRules.h"

#include <wx/dataobj.h>
#include <wx/dnd.h>

// The list view's own messages and notifications (without the system's
// macros that rename the toolkit's members).
#include <wx/msw/wrapcctl.h>

#include <algorithm>
#include <cwchar>

namespace pw {

wxDEFINE_EVENT(EVT_FILELIST_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_DOUBLE_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_RIGHT_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_SELECTION_CHANGED, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_KEY_DOWN, wxKeyEvent);
wxDEFINE_EVENT(EVT_FILELIST_COLUMN_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_ROWS_DROPPED, wxCommandEvent);

namespace {

class QuietSelection {
public:
    explicit QuietSelection(int& depth) : m_depth(depth) { ++m_depth; }
    ~QuietSelection() { --m_depth; }
    QuietSelection(const QuietSelection&) = delete;
    QuietSelection& operator=(const QuietSelection&) = delete;

private:
    int& m_depth;
};

const wxDataFormat& RowsFormat() {
    static const wxDataFormat rows("application/x-pagewright-rows");
    return rows;
}

// Drops on the list: its own rows go before the row under the pointer
// (after the last row: to the end); files from other programs go to the
// window as files dropped on it.
class RowDropTarget : public wxDropTarget {
public:
    explicit RowDropTarget(CFileListCtrl* list) : m_list(list) {
        auto* formats = new wxDataObjectComposite();
        formats->Add(new wxCustomDataObject(RowsFormat()), true);
        m_files = new wxFileDataObject();
        formats->Add(m_files);
        SetDataObject(formats);
    }
    wxDragResult OnData(wxCoord x, wxCoord y, wxDragResult result) override {
        if (!GetData())
            return wxDragNone;
        auto* formats = static_cast<wxDataObjectComposite*>(GetDataObject());
        if (formats->GetReceivedFormat() == RowsFormat()) {
            long before = m_list->HitTestRow(wxPoint(x, y));
            if (before < 0)
                before = m_list->GetItemCount();
            wxCommandEvent dropped(EVT_FILELIST_ROWS_DROPPED, m_list->GetId());
            dropped.SetEventObject(m_list);
            dropped.SetInt(static_cast<int>(before));
            m_list->GetEventHandler()->ProcessEvent(dropped);
            return result;
        }
        const wxArrayString& names = m_files->GetFilenames();
        if (names.empty() || !m_list->GetParent())
            return wxDragNone;
        auto* files = new wxString[names.size()];  // the event owns them
        for (std::size_t i = 0; i < names.size(); ++i)
            files[i] = names[i];
        wxDropFilesEvent event(wxEVT_DROP_FILES, static_cast<int>(names.size()), files);
        event.SetEventObject(m_list->GetParent());
        m_list->GetParent()->GetEventHandler()->ProcessEvent(event);
        return wxDragCopy;
    }

private:
    CFileListCtrl* m_list;
    wxFileDataObject* m_files;  // owned by the composite
};

}  // namespace

CFileListCtrl::CFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxListCtrl(parent, id, pos, size, style | wxLC_REPORT | wxLC_VIRTUAL) {
    // Whole rows selected, the cells' rules, and the row's tip (its path
    // and why it failed) where the pointer rests.
    ::SendMessageW(static_cast<HWND>(GetHWND()), LVM_SETEXTENDEDLISTVIEWSTYLE,
                   LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER,
                   LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER);
    Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& e) { CheckSelection(); e.Skip(); });
    Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent& e) { CheckSelection(); e.Skip(); });
    Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& e) { NotifyRow(EVT_FILELIST_DOUBLE_CLICK, e.GetIndex()); });
    Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& e) {
        wxCommandEvent click(EVT_FILELIST_COLUMN_CLICK, GetId());
        click.SetEventObject(this);
        click.SetInt(e.GetColumn());
        GetEventHandler()->ProcessEvent(click);
    });
    Bind(wxEVT_KEY_DOWN, &CFileListCtrl::OnKeyDown, this);
    SetUpRowDrags();
    // Screen readers ask the window itself (the toolkit answers for it), so
    // the rows are told from here.
    SetAccessible(NewFileListAccessible(this));
}

// The window goes after this destructor, but its last messages no longer
// reach this class: the lists go back here.
CFileListCtrl::~CFileListCtrl() { ReturnImageLists(); }

// The lists go to the list view directly: the toolkit's own image list
// members stay empty, so that nothing of the toolkit copies, replaces or
// deletes the borrowed lists.
void CFileListCtrl::BorrowImageLists(_IMAGELIST* small, _IMAGELIST* large) {
    HWND list = static_cast<HWND>(GetHWND());
    // A list view without this style destroys the lists it holds when it
    // goes.
    const LONG_PTR style = ::GetWindowLongPtrW(list, GWL_STYLE);
    if (!(style & LVS_SHAREIMAGELISTS))
        ::SetWindowLongPtrW(list, GWL_STYLE, style | LVS_SHAREIMAGELISTS);
    ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small));
    ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large));
    m_borrowsImageLists = true;
    if (!m_rows.empty())
        Refresh();
}

void CFileListCtrl::ReturnImageLists() {
    if (!m_borrowsImageLists || !GetHWND())
        return;
    HWND list = static_cast<HWND>(GetHWND());
    ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    m_borrowsImageLists = false;
}

WXLRESULT CFileListCtrl::MSWWindowProc(WXUINT message, WXWPARAM wParam, WXLPARAM lParam) {
    // Destroyed from outside (its parent's window destroyed first): the
    // lists go back before the list view's own clean-up.
    if (message == WM_DESTROY)
        ReturnImageLists();
    return wxListCtrl::MSWWindowProc(message, wParam, lParam);
}

long CFileListCtrl::InsertColumn(long column, const wxString& heading, int format, int width) {
    if (column < 0 || column > GetColumnCount() || GetColumnCount() >= kColumns)
        return -1;
    constexpr int kDefaultWidth = 80;
    return wxListCtrl::InsertColumn(column, heading, format, width < 0 ? kDefaultWidth : width);
}

bool CFileListCtrl::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= GetColumnCount() || width < 0)
        return false;
    return wxListCtrl::SetColumnWidth(column, width);
}

int CFileListCtrl::GetColumnWidth(int column) const {
    return column >= 0 && column < GetColumnCount() ? wxListCtrl::GetColumnWidth(column) : 0;
}

wxString CFileListCtrl::GetColumnTitle(int column) const {
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT);
    return column >= 0 && column < GetColumnCount() && GetColumn(column, item) ? item.GetText() : wxString();
}

long CFileListCtrl::InsertItem(long index, const wxString& text, int image) {
    std::array<wxString, kColumns> texts;
    texts[0] = text;
    return InsertRow(index, std::move(texts), image);
}

long CFileListCtrl::InsertItem(long index, const std::array<wxString, kColumns>& texts, int image) {
    return InsertRow(index, texts, image);
}

long CFileListCtrl::InsertRow(long index, std::array<wxString, kColumns> texts, int image) {
    if (index < 0 || index > GetItemCount())
        return -1;
    // The list view keeps its rows' states by position: the rows from index
    // on take theirs along.
    std::vector<long> selected = GetSelectedItems();
    long focused = GetFocusedItem();
    const bool shifts = (!selected.empty() && selected.back() >= index) || focused >= index;
    m_rows.insert(m_rows.begin() + index, Row{std::move(texts), image, wxString()});
    {
        QuietSelection quiet(m_quiet);
        wxListCtrl::SetItemCount(static_cast<long>(m_rows.size()));
        if (shifts) {
            for (long& row : selected)
                if (row >= index)
                    ++row;
            SetRowStates(selected, focused >= index ? focused + 1 : focused);
        }
    }
    if (index + 1 < GetItemCount())
        RefreshItems(index, GetItemCount() - 1);
    if (shifts)
        m_selectionTold = GetSelectedItems();
    wxListEvent inserted(wxEVT_LIST_INSERT_ITEM, GetId());
    inserted.SetEventObject(this);
    inserted.m_itemIndex = index;
    GetEventHandler()->ProcessEvent(inserted);
    return index;
}

bool CFileListCtrl::SetItem(long index, int column, const wxString& text) {
    if (index < 0 || index >= GetItemCount() || column < 0 || column >= kColumns)
        return false;
    m_rows[static_cast<std::size_t>(index)].texts[static_cast<std::size_t>(column)] = text;
    RefreshItem(index);
    return true;
}

bool CFileListCtrl::SetItemNote(long index, const wxString& note) {
    if (index < 0 || index >= GetItemCount())
        return false;
    m_rows[static_cast<std::size_t>(index)].note = note;
    return true;
}

wxString CFileListCtrl::GetItemNote(long index) const {
    return index >= 0 && index < GetItemCount() ? m_rows[static_cast<std::size_t>(index)].note : wxString();
}

bool CFileListCtrl::DeleteItem(long index) {
    if (index < 0 || index >= GetItemCount())
        return false;
    const std::vector<long> before = GetSelectedItems();
    const bool wasSelected = IsSelected(index);
    std::vector<long> kept;
    for (long row : before)
        if (row != index)
            kept.push_back(row > index ? row - 1 : row);
    long focused = GetFocusedItem();
    if (focused == index)
        focused = -1;
    else if (focused > index)
        --focused;
    m_rows.erase(m_rows.begin() + index);
    {
        QuietSelection quiet(m_quiet);
        SetRowStates({}, -1);
        wxListCtrl::SetItemCount(static_cast<long>(m_rows.size()));
        SetRowStates(kept, focused);
    }
    if (focused < 0)
        m_focusCleared = true;
    Refresh();
    m_selectionTold = kept;
    if (wasSelected)
        NotifySelectionChanged();
    return true;
}

bool CFileListCtrl::DeleteAllItems() {
    const bool hadSelection = GetSelectedItemCount() > 0;
    {
        QuietSelection quiet(m_quiet);
        SetRowStates({}, -1);
        m_rows.clear();
        wxListCtrl::SetItemCount(0);
    }
    Refresh();
    m_focusCleared = true;
    m_selectionTold.clear();
    if (hadSelection)
        NotifySelectionChanged();
    return true;
}

wxString CFileListCtrl::GetItemText(long index, int column) const {
    if (index < 0 || index >= GetItemCount() || column < 0 || column >= kColumns)
        return wxString();
    return m_rows[static_cast<std::size_t>(index)].texts[static_cast<std::size_t>(column)];
}

int CFileListCtrl::GetItemImage(long index) const {
    return index >= 0 && index < GetItemCount() ? m_rows[static_cast<std::size_t>(index)].image : -1;
}

int CFileListCtrl::GetItemCount() const { return static_cast<int>(m_rows.size()); }

int CFileListCtrl::GetSelectedItemCount() const { return wxListCtrl::GetSelectedItemCount(); }

wxString CFileListCtrl::OnGetItemText(long item, long column) const { return GetItemText(item, static_cast<int>(column)); }

int CFileListCtrl::OnGetItemImage(long item) const { return OnGetItemColumnImage(item, 0); }

// The row's image is an index into the borrowed small list, as given.
int CFileListCtrl::OnGetItemColumnImage(long item, long column) const {
    return column == 0 && m_borrowsImageLists ? GetItemImage(item) : -1;
}

bool CFileListCtrl::IsSelected(long index) const {
    return index >= 0 && index < GetItemCount() && wxListCtrl::GetItemState(index, wxLIST_STATE_SELECTED) != 0;
}

std::vector<long> CFileListCtrl::GetSelectedItems() const {
    std::vector<long> rows;
    for (long row = wxListCtrl::GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
         row >= 0 && row < GetItemCount(); row = wxListCtrl::GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(row);
    return rows;
}

void CFileListCtrl::SetRowStates(const std::vector<long>& selected, long focused) {
    for (long row : GetSelectedItems())
        if (!std::binary_search(selected.begin(), selected.end(), row))
            wxListCtrl::SetItemState(row, 0, wxLIST_STATE_SELECTED);
    const long hadFocus = wxListCtrl::GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    if (hadFocus >= 0 && hadFocus != focused)
        wxListCtrl::SetItemState(hadFocus, 0, wxLIST_STATE_FOCUSED);
    for (long row : selected)
        if (row >= 0 && row < GetItemCount())
            wxListCtrl::SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    if (focused >= 0 && focused < GetItemCount())
        wxListCtrl::SetItemState(focused, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
}

void CFileListCtrl::SelectItem(long index, bool select) {
    if (index < 0 || index >= GetItemCount() || IsSelected(index) == select)
        return;
    {
        QuietSelection quiet(m_quiet);
        wxListCtrl::SetItemState(index, select ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
    NotifySelectionChanged();
}

void CFileListCtrl::DeselectAllItems() {
    const bool hadSelection = GetSelectedItemCount() > 0;
    {
        QuietSelection quiet(m_quiet);
        SetRowStates({}, -1);
    }
    m_focusCleared = true;
    if (hadSelection)
        NotifySelectionChanged();
}

long CFileListCtrl::GetFocusedItem() const {
    if (m_focusCleared || GetItemCount() == 0)
        return -1;
    const long row = wxListCtrl::GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    return row < GetItemCount() ? row : -1;
}

void CFileListCtrl::FocusItem(long index) {
    if (index < 0 || index >= GetItemCount())
        return;
    {
        QuietSelection quiet(m_quiet);
        wxListCtrl::SetItemState(index, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    }
    m_focusCleared = false;
}

// The list view scrolls at once, by the least that shows the whole row.
void CFileListCtrl::ScrollIntoView(long index) {
    if (index >= 0 && index < GetItemCount())
        ::SendMessageW(static_cast<HWND>(GetHWND()), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void CFileListCtrl::SendNavigationKey(int wxKeyCode) {
    const long count = GetItemCount();
    if (count == 0 && wxKeyCode != WXK_LEFT && wxKeyCode != WXK_RIGHT)
        return;
    const long current = GetFocusedItem();
    const long page = RowsPerPage();
    long target = current;
    // One step sideways: the width of an average character, as the list
    // view's own scroll bar arrows move.
    const int step = GetCharWidth();
    switch (wxKeyCode) {
        case WXK_UP:
        case WXK_NUMPAD_UP:
            target = current < 0 ? 0 : current - 1;
            break;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN:
            target = current + 1;
            break;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP:
            target = current < 0 ? 0 : current - page;
            break;
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN:
            target = current < 0 ? page : current + page;
            break;
        case WXK_HOME:
        case WXK_NUMPAD_HOME:
            target = 0;
            break;
        case WXK_END:
        case WXK_NUMPAD_END:
            target = count - 1;
            break;
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT:
            ScrollList(-step, 0);
            return;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT:
            ScrollList(step, 0);
            return;
        default:
            return;
    }
    MoveTo(std::clamp(target, 0L, count - 1));
}

long CFileListCtrl::RowsPerPage() const { return std::max(1L, static_cast<long>(GetCountPerPage()) - 1); }

void CFileListCtrl::MoveTo(long row) {
    const std::vector<long> before = GetSelectedItems();
    {
        QuietSelection quiet(m_quiet);
        SetRowStates({row}, row);
        ScrollIntoView(row);
    }
    m_focusCleared = false;
    if (GetSelectedItems() != before)
        NotifySelectionChanged();
}

long CFileListCtrl::HitTestRow(const wxPoint& point) const {
    int flags = 0;
    const long row = const_cast<CFileListCtrl*>(this)->HitTest(point, flags);
    return row >= 0 && row < GetItemCount() && (flags & wxLIST_HITTEST_ONITEM) ? row : -1;
}

bool CFileListCtrl::ReorderRows(const std::vector<long>& order) {
    const long count = GetItemCount();
    if (static_cast<long>(order.size()) != count)
        return false;
    std::vector<long> newIndex(static_cast<std::size_t>(count), -1);
    for (long i = 0; i < count; ++i) {
        const long from = order[static_cast<std::size_t>(i)];
        if (from < 0 || from >= count || newIndex[static_cast<std::size_t>(from)] >= 0)
            return false;
        newIndex[static_cast<std::size_t>(from)] = i;
    }
    const std::vector<long> selected = GetSelectedItems();
    const long focused = GetFocusedItem();
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    for (long from : order)
        rows.push_back(std::move(m_rows[static_cast<std::size_t>(from)]));
    m_rows = std::move(rows);
    std::vector<long> moved;
    for (long row : selected)
        moved.push_back(newIndex[static_cast<std::size_t>(row)]);
    std::sort(moved.begin(), moved.end());
    const long focusTo = focused >= 0 ? newIndex[static_cast<std::size_t>(focused)] : -1;
    {
        QuietSelection quiet(m_quiet);
        SetRowStates(moved, focusTo);
    }
    if (count > 0)
        RefreshItems(0, count - 1);
    if (focusTo >= 0) {
        m_focusCleared = false;
        ScrollIntoView(focusTo);
    }
    m_selectionTold = moved;
    NotifySelectionChanged();
    return true;
}

bool CFileListCtrl::MoveRows(std::vector<long> rows, long before) {
    const std::vector<long> order = MovedRowsOrder(std::move(rows), before, GetItemCount());
    return !order.empty() && ReorderRows(order);
}

void CFileListCtrl::SelectAllRows() {
    if (GetItemCount() == 0)
        return;
    {
        QuietSelection quiet(m_quiet);
        // Row -1: every row at once, as the list view's own Ctrl+A does.
        ::LVITEMW item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        ::SendMessageW(static_cast<HWND>(GetHWND()), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    }
    m_selectionTold = GetSelectedItems();
    NotifySelectionChanged();
}

// A row pulled away drags the selected rows (or that row, when it is not
// selected) in a format of the list's own; the drop puts them before the
// row it lands on.
void CFileListCtrl::SetUpRowDrags() {
    SetDropTarget(new RowDropTarget(this));
    Bind(wxEVT_LIST_BEGIN_DRAG, [this](wxListEvent& e) {
        const long row = e.GetIndex();
        if (row < 0 || row >= GetItemCount())
            return;
        if (!IsSelected(row)) {
            {
                QuietSelection quiet(m_quiet);
                SetRowStates({row}, row);
            }
            CheckSelection();
        }
        wxCustomDataObject data(RowsFormat());
        data.SetData(1, "r");
        wxDropSource source(data, this);
        source.DoDragDrop(wxDrag_DefaultMove);
    });
}

void CFileListCtrl::NotifyRow(wxEventType type, long row) {
    wxCommandEvent event(type, GetId());
    event.SetEventObject(this);
    event.SetInt(static_cast<int>(row));
    GetEventHandler()->ProcessEvent(event);
}

void CFileListCtrl::CheckSelection() {
    if (m_quiet > 0)
        return;
    std::vector<long> now = GetSelectedItems();
    if (now == m_selectionTold)
        return;
    m_selectionTold = std::move(now);
    m_focusCleared = false;
    NotifyRow(EVT_FILELIST_SELECTION_CHANGED, -1);
}

void CFileListCtrl::NotifySelectionChanged() {
    m_selectionTold = GetSelectedItems();
    NotifyRow(EVT_FILELIST_SELECTION_CHANGED, -1);
}

// The list view's own notifications beside the toolkit's events: clicks
// (on a row or beside the rows), a range selected at once, and the row's tip.
bool CFileListCtrl::MSWOnNotify(int idCtrl, WXLPARAM lParam, WXLPARAM* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom == static_cast<HWND>(GetHWND())) {
        switch (header->code) {
            case NM_CLICK:
                m_focusCleared = false;
                NotifyRow(EVT_FILELIST_CLICK, reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
                break;
            case NM_RCLICK:
                NotifyRow(EVT_FILELIST_RIGHT_CLICK, reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
                *result = 0;
                return true;
            case LVN_ODSTATECHANGED:
                CallAfter([this] { CheckSelection(); });
                break;
            case LVN_ITEMCHANGED:
                if (reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem == -1)
                    CallAfter([this] { CheckSelection(); });
                break;
            case LVN_GETINFOTIPW: {
                auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(const_cast<NMHDR*>(header));
                const long row = tip->iItem;
                if (row >= 0 && row < GetItemCount() && tip->pszText && tip->cchTextMax > 0) {
                    wxString text = GetItemText(row, 0);
                    if (!GetItemNote(row).empty())
                        text += "\n" + GetItemNote(row);
                    std::wcsncpy(tip->pszText, text.wc_str(), static_cast<std::size_t>(tip->cchTextMax) - 1);
                    tip->pszText[tip->cchTextMax - 1] = L'\0';
                }
                *result = 0;
                return true;
            }
            default:
                break;
        }
    }
    return wxListCtrl::MSWOnNotify(idCtrl, lParam, result);
}

void CFileListCtrl::OnKeyDown(wxKeyEvent& event) {
    m_focusCleared = false;
    wxKeyEvent forwarded(event);
    forwarded.SetEventType(EVT_FILELIST_KEY_DOWN);
    forwarded.SetEventObject(this);
    forwarded.Skip(false);
    forwarded.ResumePropagation(wxEVENT_PROPAGATE_MAX);
    GetEventHandler()->ProcessEvent(forwarded);
    if (forwarded.GetSkipped())
        event.Skip();
}

}  // namespace pw
