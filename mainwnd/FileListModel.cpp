#include "mainwnd/FileListModel.h"

namespace pw {

void FileListModel::Insert(unsigned index, Row row) {
    m_rows.insert(m_rows.begin() + index, std::move(row));
    RowInserted(index);
}

void FileListModel::Erase(unsigned index) {
    m_rows.erase(m_rows.begin() + index);
    RowDeleted(index);
}

void FileListModel::Clear() {
    m_rows.clear();
    Reset(0);
}

void FileListModel::SetText(unsigned index, unsigned column, const wxString& text) {
    m_rows[index].texts[column] = text;
    // A changed row, not only a cell to draw again: GTK's list tells its
    // screen readers of changed rows alone.
    RowChanged(index);
}

void FileListModel::Reorder(const std::vector<unsigned>& order) {
    std::vector<Row> rows;
    rows.reserve(order.size());
    for (unsigned from : order)
        rows.push_back(std::move(m_rows[from]));
    m_rows = std::move(rows);
    // Rows of a list keep their places in the view; their contents move.
    // Each changed row is told, so that screen readers hear of it, unless
    // so many changed that starting afresh costs less.
    constexpr unsigned kMostRowsTold = 2000;
    unsigned first = 0, last = 0;
    bool any = false;
    for (unsigned i = 0; i < order.size(); ++i)
        if (order[i] != i) {
            first = any ? first : i;
            last = i;
            any = true;
        }
    if (!any)
        return;
    if (last - first >= kMostRowsTold) {
        Reset(static_cast<unsigned>(m_rows.size()));
        return;
    }
    for (unsigned i = first; i <= last; ++i)
        RowChanged(i);
}

wxString FileListModel::GetColumnType(unsigned column) const {
    return column == 0 ? wxString("wxDataViewIconText") : wxString("string");
}

void FileListModel::GetValueByRow(wxVariant& value, unsigned row, unsigned column) const {
    if (row >= m_rows.size() || column >= kColumns) {
        value = wxString();
        return;
    }
    const Row& r = m_rows[row];
    if (column != 0) {
        value = r.texts[column];
        return;
    }
    wxBitmapBundle icon;
    if (r.image >= 0 && m_icons)
        icon = m_icons(r.image);
    value << wxDataViewIconText(r.texts[0], icon);
}

}  // namespace pw
