// The order of the file list's rows, which a merge follows: rows dragged to
// another place, moved with Alt+Up and Alt+Down, or sorted by a column.

#include "mainwnd/CMainDlg.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace pw {

namespace {

// The number a cell starts with ("12", "    1.54 KB"); 0 for none.
double LeadingNumber(const wxString& text) {
    double value = 0;
    return text.Strip(wxString::both).BeforeFirst(' ').ToCDouble(&value) ? value : 0;
}

}  // namespace

void CMainDlg::BindOrder() {
    if (!m_fileList)
        return;
    Bind(EVT_FILELIST_ROWS_DROPPED, [this](wxCommandEvent& event) {
        m_fileList->MoveRows(m_fileList->GetSelectedItems(), event.GetInt());
    });
    Bind(EVT_FILELIST_COLUMN_CLICK, [this](wxCommandEvent& event) { SortByColumn(event.GetInt()); });
}

void CMainDlg::MoveSelectedRows(int step) {
    if (!m_fileList || step == 0)
        return;
    const std::vector<long> rows = m_fileList->GetSelectedItems();
    if (rows.empty() || (step < 0 && rows.front() == 0) || (step > 0 && rows.back() + 1 >= m_fileList->GetItemCount()))
        return;
    m_fileList->MoveRows(rows, step < 0 ? rows.front() - 1 : rows.back() + 2);
}

void CMainDlg::SortByColumn(int column) {
    if (!m_fileList || column < 0 || column >= CFileListCtrl::kColumns)
        return;
    m_sortDescending = column == m_sortColumn && !m_sortDescending;
    m_sortColumn = column;
    const long count = m_fileList->GetItemCount();
    std::vector<long> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0L);
    // Page counts and sizes by their numbers, paths and statuses by their
    // texts; rows that compare equal keep their order.
    const bool numeric = column == 1 || column == 2;
    std::vector<wxString> texts;
    std::vector<double> numbers;
    for (long i = 0; i < count; ++i) {
        const wxString text = m_fileList->GetItemText(i, column);
        if (numeric)
            numbers.push_back(LeadingNumber(text));
        else
            texts.push_back(text);
    }
    std::stable_sort(order.begin(), order.end(), [&](long a, long b) {
        const auto i = static_cast<std::size_t>(a), j = static_cast<std::size_t>(b);
        if (m_sortDescending)
            return numeric ? numbers[j] < numbers[i] : texts[j] < texts[i];
        return numeric ? numbers[i] < numbers[j] : texts[i] < texts[j];
    });
    m_fileList->ReorderRows(order);
}

}  // namespace pw
