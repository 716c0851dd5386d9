#pragma once
// The rows of the main window's file list, kept by index for the list view:
// the view asks only for the cells it shows.

#include <wx/bmpbndl.h>
#include <wx/dataview.h>

#include <array>
#include <functional>
#include <vector>

namespace pw {

class FileListModel : public wxDataViewVirtualListModel {
public:
    static constexpr unsigned kColumns = 4;
    struct Row {
        std::array<wxString, kColumns> texts;
        int image = -1;
        wxString note;  // more about the row than its cells show
    };

    FileListModel() : wxDataViewVirtualListModel(0) {}

    const std::vector<Row>& Rows() const { return m_rows; }
    void Insert(unsigned index, Row row);
    void Erase(unsigned index);
    void Clear();
    void SetText(unsigned index, unsigned column, const wxString& text);
    void SetNote(unsigned index, const wxString& note) { m_rows[index].note = note; }
    // Puts the rows in a new order: order[i] is the index the row that goes
    // to i had before (a permutation of 0 to the row count - 1).
    void Reorder(const std::vector<unsigned>& order);
    void SetIconSource(std::function<wxBitmapBundle(int)> icons) { m_icons = std::move(icons); }

    unsigned GetCount() const override { return static_cast<unsigned>(m_rows.size()); }
    unsigned GetColumnCount() const override { return kColumns; }
    wxString GetColumnType(unsigned column) const override;
    void GetValueByRow(wxVariant& value, unsigned row, unsigned column) const override;
    bool SetValueByRow(const wxVariant&, unsigned, unsigned) override { return false; }

private:
    std::vector<Row> m_rows;
    std::function<wxBitmapBundle(int)> m_icons;
};

}  // namespace pw
