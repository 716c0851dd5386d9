#include "mainwnd/CFileListCtrl.h"
#include "mainwnd/FileListRules.h"

#include "mainwnd/FileListModel.h"
#include "mainwnd/FileListView.h"

#include <wx/dataobj.h>
#include <wx/dnd.h>
#include <wx/listctrl.h>
#include <wx/time.h>
#include <wx/utils.h>

#include <algorithm>

namespace pw {

wxDEFINE_EVENT(EVT_FILELIST_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_DOUBLE_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_RIGHT_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_SELECTION_CHANGED, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_KEY_DOWN, wxKeyEvent);
wxDEFINE_EVENT(EVT_FILELIST_COLUMN_CLICK, wxCommandEvent);
wxDEFINE_EVENT(EVT_FILELIST_ROWS_DROPPED, wxCommandEvent);

namespace {

// Counts the list's own changes of the selection, which it reports itself
// once they are done.
class QuietSelection {
public:
    explicit QuietSelection(int& depth) : m_depth(depth) { ++m_depth; }
    ~QuietSelection() { --m_depth; }
    QuietSelection(const QuietSelection&) = delete;
    QuietSelection& operator=(const QuietSelection&) = delete;

private:
    int& m_depth;
};

wxAlignment AlignmentOf(int format) {
    switch (format) {
        case wxLIST_FORMAT_RIGHT:
            return wxALIGN_RIGHT;
        case wxLIST_FORMAT_CENTRE:
            return wxALIGN_CENTRE;
        default:
            return wxALIGN_LEFT;
    }
}

}  // namespace

CFileListCtrl::CFileListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxDataViewCtrl(parent, id, pos, size, style | wxDV_MULTIPLE | wxDV_HORIZ_RULES | wxDV_VERT_RULES),
      m_model(new FileListModel()) {
    wxDataViewCtrl::AssociateModel(m_model);
    m_model->DecRef();  // the view holds the model from now on

    Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, [this](wxDataViewEvent& e) {
        if (m_quiet == 0) {
            m_selectionBefore = std::move(m_selectionNow);
            m_selectionNow = GetSelectedItems();
            m_selectionChangedAt = wxGetLocalTimeMillis();
            m_focusCleared = false;
            NotifySelectionChanged();
        }
        e.Skip();
    });
    Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED,
         [this](wxDataViewEvent& e) { NotifyRow(EVT_FILELIST_DOUBLE_CLICK, RowOf(e.GetItem())); });
    Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU,
         [this](wxDataViewEvent& e) { NotifyRow(EVT_FILELIST_RIGHT_CLICK, RowOf(e.GetItem())); });
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
        m_focusCleared = false;
        // The event's position is relative to the rows' own area, below the
        // column titles; the row is looked up where the pointer is.
        NotifyRow(EVT_FILELIST_CLICK, HitTestRow(ScreenToClient(wxGetMousePosition())));
        e.Skip();
    });
    SetUpRowDrags();
    SetCellTips(this, [this](long row, unsigned column) {
        if (column == 0)
            return GetItemText(row, 0);
        return column + 1 == kColumns ? GetItemNote(row) : wxString();
    });
    m_listening = AssistiveProgramsListen();
    Bind(wxEVT_IDLE, &CFileListCtrl::OnIdle, this);
    Bind(wxEVT_KEY_DOWN, &CFileListCtrl::OnKeyDown, this);
    Bind(wxEVT_DATAVIEW_COLUMN_HEADER_CLICK, [this](wxDataViewEvent& e) {
        wxCommandEvent click(EVT_FILELIST_COLUMN_CLICK, GetId());
        click.SetEventObject(this);
        click.SetInt(e.GetDataViewColumn() ? static_cast<int>(e.GetDataViewColumn()->GetModelColumn()) : -1);
        GetEventHandler()->ProcessEvent(click);
    });
}

CFileListCtrl::~CFileListCtrl() = default;

long CFileListCtrl::InsertColumn(long column, const wxString& heading, int format, int width) {
    const unsigned count = wxDataViewCtrl::GetColumnCount();
    if (column < 0 || column > static_cast<long>(count) || count >= FileListModel::kColumns)
        return -1;
    // Each column shows the cells of the model's column of the same number
    // as the order in which it was added.
    const unsigned modelColumn = count;
    wxDataViewRenderer* renderer = modelColumn == 0
        ? static_cast<wxDataViewRenderer*>(new wxDataViewIconTextRenderer())
        : static_cast<wxDataViewRenderer*>(new wxDataViewTextRenderer());
    // Every column has a fixed width, which lets the view take every row
    // to be as high as the first.
    constexpr int kDefaultWidth = 80;
    if (width < 0)
        width = kDefaultWidth;
    // A path shows its end, where the file's name is; the tooltip and
    // screen readers have it whole.
    if (modelColumn == 0)
        renderer->EnableEllipsize(wxELLIPSIZE_START);
    auto* col = new wxDataViewColumn(heading, renderer, modelColumn, width,
                                     AlignmentOf(format), wxDATAVIEW_COL_RESIZABLE | wxDATAVIEW_COL_REORDERABLE);
    if (!wxDataViewCtrl::InsertColumn(static_cast<unsigned>(column), col))
        return -1;
    m_widths.insert(m_widths.begin() + std::min<std::size_t>(m_widths.size(), static_cast<std::size_t>(column)),
                    width);
    UseUniformRowHeight(this);
    return column;
}

bool CFileListCtrl::SetColumnWidth(int column, int width) {
    wxDataViewColumn* col = column >= 0 && column < static_cast<int>(GetColumnCount()) ? GetColumn(static_cast<unsigned>(column)) : nullptr;
    if (!col || width < 0)
        return false;
    col->SetWidth(width);
    m_widths.resize(std::max<std::size_t>(m_widths.size(), static_cast<std::size_t>(column) + 1));
    m_widths[static_cast<std::size_t>(column)] = width;
    return true;
}

int CFileListCtrl::GetColumnWidth(int column) const {
    const wxDataViewColumn* col =
        column >= 0 && column < static_cast<int>(GetColumnCount()) ? GetColumn(static_cast<unsigned>(column)) : nullptr;
    if (!col)
        return 0;
    // The view knows a column's width only once it has laid it out.
    const int width = col->GetWidth();
    if (width > 0 || static_cast<std::size_t>(column) >= m_widths.size())
        return width;
    return m_widths[static_cast<std::size_t>(column)];
}

wxString CFileListCtrl::GetColumnTitle(int column) const {
    const wxDataViewColumn* col =
        column >= 0 && column < static_cast<int>(GetColumnCount()) ? GetColumn(static_cast<unsigned>(column)) : nullptr;
    return col ? col->GetTitle() : wxString();
}

void CFileListCtrl::SetIconSource(IconSource icons) {
    m_model->SetIconSource(std::move(icons));
    if (GetItemCount() > 0)
        Refresh();
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
    {
        // The view moves the selection of the rows below along with them.
        QuietSelection quiet(m_quiet);
        m_model->Insert(static_cast<unsigned>(index), FileListModel::Row{std::move(texts), image, wxString()});
    }
    m_described.insert(m_described.begin() + index, false);
    DescribeRows(index, index);
    wxListEvent inserted(wxEVT_LIST_INSERT_ITEM, GetId());
    inserted.SetEventObject(this);
    inserted.m_itemIndex = index;
    GetEventHandler()->ProcessEvent(inserted);
    return index;
}

bool CFileListCtrl::SetItem(long index, int column, const wxString& text) {
    if (index < 0 || index >= GetItemCount() || column < 0 || column >= kColumns)
        return false;
    m_model->SetText(static_cast<unsigned>(index), static_cast<unsigned>(column), text);
    if (column == 0)
        DescribeRows(index, index);
    return true;
}

bool CFileListCtrl::SetItemNote(long index, const wxString& note) {
    if (index < 0 || index >= GetItemCount())
        return false;
    m_model->SetNote(static_cast<unsigned>(index), note);
    DescribeRows(index, index);
    return true;
}

wxString CFileListCtrl::GetItemNote(long index) const {
    return index >= 0 && index < GetItemCount() ? m_model->Rows()[static_cast<std::size_t>(index)].note : wxString();
}

void CFileListCtrl::DescribeRows(long first, long last) {
    m_describeFirst = m_describeFirst < 0 ? first : std::min(m_describeFirst, first);
    m_describeLast = std::max(m_describeLast, last);
}

// A few hundred rows at a time, so that the window stays responsive; the
// cells' names only while assistive programs listen, their notes always
// (only failed rows have one).
void CFileListCtrl::OnIdle(wxIdleEvent& event) {
    event.Skip();
    const long count = GetItemCount();
    if (m_describeFirst < 0 || m_describeFirst >= count) {
        m_describeFirst = m_describeLast = -1;
        return;
    }
    constexpr long kRowsPerIdle = 300;
    const long last = std::min({count - 1, m_describeLast, m_describeFirst + kRowsPerIdle - 1});
    for (long row = m_describeFirst; row <= last; ++row) {
        const wxString note = GetItemNote(row);
        const auto at = static_cast<std::size_t>(row);
        if (!note.empty() || m_described[at])
            DescribeCell(this, row, kColumns - 1, wxString(), note);
        m_described[at] = !note.empty();
        if (m_listening)
            DescribeCell(this, row, 0, GetItemText(row, 0), wxString(), "File icon");
    }
    m_describeFirst = last < std::min(count - 1, m_describeLast) ? last + 1 : -1;
    if (m_describeFirst < 0)
        m_describeLast = -1;
    if (m_describeFirst >= 0)
        event.RequestMore();
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
    {
        QuietSelection quiet(m_quiet);
        m_model->Erase(static_cast<unsigned>(index));
        m_described.erase(m_described.begin() + index);
        // GTK's view moves its cursor off a deleted row and selects the row
        // it lands on, letting go of every other: the remaining rows get
        // back the selection they had.
        if (GetSelectedItems() != kept) {
            wxDataViewItemArray items;
            for (long row : kept)
                items.push_back(ItemAt(row));
            wxDataViewCtrl::SetSelections(items);
        }
    }
    if (wasSelected)
        NotifySelectionChanged();
    return true;
}

bool CFileListCtrl::DeleteAllItems() {
    const bool hadSelection = GetSelectedItemCount() > 0;
    {
        QuietSelection quiet(m_quiet);
        m_model->Clear();
    }
    m_described.clear();
    m_focusCleared = true;
    if (hadSelection)
        NotifySelectionChanged();
    return true;
}

wxString CFileListCtrl::GetItemText(long index, int column) const {
    if (index < 0 || index >= GetItemCount() || column < 0 || column >= kColumns)
        return wxString();
    return m_model->Rows()[static_cast<std::size_t>(index)].texts[static_cast<std::size_t>(column)];
}

int CFileListCtrl::GetItemImage(long index) const {
    if (index < 0 || index >= GetItemCount())
        return -1;
    return m_model->Rows()[static_cast<std::size_t>(index)].image;
}

int CFileListCtrl::GetItemCount() const { return static_cast<int>(m_model->Rows().size()); }

int CFileListCtrl::GetSelectedItemCount() const { return GetSelectedItemsCount(); }

bool CFileListCtrl::IsSelected(long index) const {
    return index >= 0 && index < GetItemCount() && wxDataViewCtrl::IsSelected(ItemAt(index));
}

std::vector<long> CFileListCtrl::GetSelectedItems() const {
    wxDataViewItemArray items;
    wxDataViewCtrl::GetSelections(items);
    std::vector<long> rows;
    rows.reserve(items.size());
    for (const wxDataViewItem& item : items)
        rows.push_back(RowOf(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CFileListCtrl::SelectItem(long index, bool select) {
    if (index < 0 || index >= GetItemCount() || IsSelected(index) == select)
        return;
    {
        QuietSelection quiet(m_quiet);
        if (select)
            wxDataViewCtrl::Select(ItemAt(index));
        else
            wxDataViewCtrl::Unselect(ItemAt(index));
    }
    NotifySelectionChanged();
}

void CFileListCtrl::DeselectAllItems() {
    const bool hadSelection = GetSelectedItemCount() > 0;
    {
        QuietSelection quiet(m_quiet);
        wxDataViewCtrl::UnselectAll();
    }
    m_focusCleared = true;
    if (hadSelection)
        NotifySelectionChanged();
}

long CFileListCtrl::GetFocusedItem() const {
    if (m_focusCleared || GetItemCount() == 0)
        return -1;
    return RowOf(GetCurrentItem());
}

void CFileListCtrl::FocusItem(long index) {
    if (index < 0 || index >= GetItemCount())
        return;
    // The view selects the row it moves its cursor to; the selection stays
    // as it was.
    const std::vector<long> selected = GetSelectedItems();
    {
        QuietSelection quiet(m_quiet);
        SetCurrentItem(ItemAt(index));
        if (GetSelectedItems() != selected) {
            wxDataViewItemArray items;
            for (long row : selected)
                items.push_back(ItemAt(row));
            wxDataViewCtrl::SetSelections(items);
        }
    }
    m_focusCleared = false;
}

void CFileListCtrl::ScrollIntoView(long index) {
    if (index < 0 || index >= GetItemCount())
        return;
    // Rows are all as high as the first, one below the other: row index
    // starts index row pitches below the first. The view gives the place
    // of rows in view only, so the pitch is taken from the top two.
    const long first = RowOf(GetTopItem());
    if (first >= 0 && first + 1 < GetItemCount()) {
        const int pitch = GetItemRect(ItemAt(first + 1)).y - GetItemRect(ItemAt(first)).y;
        if (pitch > 0 && ScrollBandIntoView(this, static_cast<int>(index) * pitch, pitch))
            return;
    }
    EnsureVisible(ItemAt(index));
}

void CFileListCtrl::SendNavigationKey(int wxKeyCode) {
    const long count = GetItemCount();
    if (count == 0 && wxKeyCode != WXK_LEFT && wxKeyCode != WXK_RIGHT)
        return;
    const long current = GetFocusedItem();
    const long page = RowsPerPage();
    long target = current;
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
            ScrollColumnsBy(this, -1);
            return;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT:
            ScrollColumnsBy(this, 1);
            return;
        default:
            return;
    }
    MoveTo(std::clamp(target, 0L, count - 1));
}

long CFileListCtrl::RowsPerPage() const {
    long rows = GetCountPerPage() - 1;
    if (rows < 1 && GetItemCount() > 0) {
        // Not laid out yet: as many rows as the list's height holds.
        const int rowHeight = GetItemRect(ItemAt(0)).height;
        rows = rowHeight > 0 ? GetClientSize().y / rowHeight - 1 : 1;
    }
    return std::max(1L, rows);
}

void CFileListCtrl::MoveTo(long row) {
    const std::vector<long> before = GetSelectedItems();
    {
        QuietSelection quiet(m_quiet);
        wxDataViewCtrl::UnselectAll();
        SetCurrentItem(ItemAt(row));
        wxDataViewCtrl::Select(ItemAt(row));
        EnsureVisible(ItemAt(row));
    }
    m_focusCleared = false;
    if (GetSelectedItems() != before)
        NotifySelectionChanged();
}

long CFileListCtrl::HitTestRow(const wxPoint& point) const {
    wxDataViewItem item;
    wxDataViewColumn* column = nullptr;
    HitTest(point, item, column);
    return item.IsOk() ? RowOf(item) : -1;
}

wxDataViewItem CFileListCtrl::ItemAt(long index) const { return m_model->GetItem(static_cast<unsigned>(index)); }

long CFileListCtrl::RowOf(const wxDataViewItem& item) const {
    if (!item.IsOk())
        return -1;
    const long row = static_cast<long>(m_model->GetRow(item));
    return row < GetItemCount() ? row : -1;
}

void CFileListCtrl::NotifyRow(wxEventType type, long row) {
    wxCommandEvent event(type, GetId());
    event.SetEventObject(this);
    event.SetInt(static_cast<int>(row));
    GetEventHandler()->ProcessEvent(event);
}

bool CFileListCtrl::ReorderRows(const std::vector<long>& order) {
    const long count = GetItemCount();
    std::vector<long> newIndex(static_cast<std::size_t>(count), -1);
    if (static_cast<long>(order.size()) != count)
        return false;
    for (long i = 0; i < count; ++i) {
        const long from = order[static_cast<std::size_t>(i)];
        if (from < 0 || from >= count || newIndex[static_cast<std::size_t>(from)] >= 0)
            return false;
        newIndex[static_cast<std::size_t>(from)] = i;
    }
    const std::vector<long> selected = GetSelectedItems();
    const long focused = GetFocusedItem();
    {
        QuietSelection quiet(m_quiet);
        m_model->Reorder(std::vector<unsigned>(order.begin(), order.end()));
        DescribeRows(0, static_cast<long>(order.size()) - 1);
        wxDataViewItemArray items;
        for (long row : selected)
            items.push_back(ItemAt(newIndex[static_cast<std::size_t>(row)]));
        if (focused >= 0)
            SetCurrentItem(ItemAt(newIndex[static_cast<std::size_t>(focused)]));
        wxDataViewCtrl::SetSelections(items);
    }
    if (focused >= 0) {
        m_focusCleared = false;
        ScrollIntoView(newIndex[static_cast<std::size_t>(focused)]);
    }
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
        wxDataViewCtrl::SelectAll();
    }
    NotifySelectionChanged();
}

// A row pressed and pulled away drags the selected rows (or that row, when
// it is not selected) with the desktop's drag and drop, in a format of the
// list's own that nothing but the list takes; the drop puts them before the
// row it lands on.
void CFileListCtrl::SetUpRowDrags() {
    static const wxDataFormat rows("application/x-pagewright-rows");
    EnableDragSource(rows);
    EnableDropTarget(rows);
    Bind(wxEVT_DATAVIEW_ITEM_BEGIN_DRAG, [this](wxDataViewEvent& e) {
        const long row = RowOf(e.GetItem());
        if (row < 0) {
            e.Veto();
            return;
        }
        // GTK's list lets go of the other selected rows the moment a
        // selected row is pressed; a drag that starts right after takes them
        // all.
        const std::vector<long> before = m_selectionBefore;
        const bool justCollapsed = GetSelectedItems() == std::vector<long>{row} &&
                                   std::find(before.begin(), before.end(), row) != before.end() &&
                                   wxGetLocalTimeMillis() - m_selectionChangedAt < kCollapsedPressMs;
        if (justCollapsed || !IsSelected(row)) {
            {
                QuietSelection quiet(m_quiet);
                wxDataViewCtrl::UnselectAll();
                if (justCollapsed)
                    for (long selected : before)
                        wxDataViewCtrl::Select(ItemAt(selected));
                else
                    wxDataViewCtrl::Select(ItemAt(row));
            }
            NotifySelectionChanged();
        }
        auto* data = new wxCustomDataObject(rows);
        data->SetData(1, "r");
        e.SetDataObject(data);
        e.SetDragFlags(wxDrag_DefaultMove);
    });
    Bind(wxEVT_DATAVIEW_ITEM_DROP_POSSIBLE, [](wxDataViewEvent& e) {
        if (e.GetDataFormat() != rows)
            e.Veto();
    });
    Bind(wxEVT_DATAVIEW_ITEM_DROP, [this](wxDataViewEvent& e) {
        if (e.GetDataFormat() != rows)
            return;
        long before = e.GetProposedDropIndex() >= 0 ? e.GetProposedDropIndex() : RowOf(e.GetItem());
        if (before < 0 || before > GetItemCount())
            before = GetItemCount();
        NotifyRow(EVT_FILELIST_ROWS_DROPPED, before);
    });
}

void CFileListCtrl::NotifySelectionChanged() { NotifyRow(EVT_FILELIST_SELECTION_CHANGED, -1); }

void CFileListCtrl::OnKeyDown(wxKeyEvent& event) {
    m_focusCleared = false;
    wxKeyEvent forwarded(event);
    forwarded.SetEventType(EVT_FILELIST_KEY_DOWN);
    forwarded.SetEventObject(this);
    forwarded.Skip(false);
    // Key events stay with their window unless told to go up to the parent.
    forwarded.ResumePropagation(wxEVENT_PROPAGATE_MAX);
    GetEventHandler()->ProcessEvent(forwarded);
    if (forwarded.GetSkipped())
        event.Skip();
}

}  // namespace pw
