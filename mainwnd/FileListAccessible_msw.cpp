#include "mainwnd/FileListAccessible_msw.h"

#include "mainwnd/CFileListCtrl.h"
#include "ui/AccessibleProperties_msw.h"

#include <wx/access.h>
#include <wx/variant.h>

namespace pw {

namespace {

// Children are numbered from 1, rows from 0.
class FileListAccessible final : public wxWindowAccessible, public AccessibleProperties {
public:
    explicit FileListAccessible(CFileListCtrl* list) : wxWindowAccessible(list), m_list(list) {}

    wxAccStatus GetChildCount(int* count) override {
        *count = m_list->GetItemCount();
        return wxACC_OK;
    }

    // A row is a simple element of the list, not an object of its own.
    wxAccStatus GetChild(int childId, wxAccessible** child) override {
        if (childId == wxACC_SELF) {
            *child = this;
            return wxACC_OK;
        }
        if (!IsRow(childId))
            return wxACC_INVALID_ARG;
        *child = nullptr;
        return wxACC_OK;
    }

    wxAccStatus GetRole(int childId, wxAccRole* role) override {
        if (childId == wxACC_SELF) {
            *role = wxROLE_SYSTEM_LIST;
            return wxACC_OK;
        }
        if (!IsRow(childId))
            return wxACC_INVALID_ARG;
        *role = wxROLE_SYSTEM_LISTITEM;
        return wxACC_OK;
    }

    wxAccStatus GetName(int childId, wxString* text) override {
        if (childId == wxACC_SELF) {
            if (name.empty())
                return wxWindowAccessible::GetName(childId, text);
            *text = name;
            return wxACC_OK;
        }
        if (!IsRow(childId))
            return wxACC_INVALID_ARG;
        *text = m_list->GetItemText(Row(childId), 0);
        return wxACC_OK;
    }

    // A row's other cells under their column titles, as "Page Count: 3,
    // File Size: 1.54 KB"; empty cells are left out.
    wxAccStatus GetDescription(int childId, wxString* text) override {
        if (childId == wxACC_SELF) {
            if (description.empty())
                return wxWindowAccessible::GetDescription(childId, text);
            *text = description;
            return wxACC_OK;
        }
        if (!IsRow(childId))
            return wxACC_INVALID_ARG;
        text->clear();
        for (int column = 1; column < m_list->GetColumnCount(); ++column) {
            const wxString cell = m_list->GetItemText(Row(childId), column).Strip(wxString::both);
            if (cell.empty())
                continue;
            if (!text->empty())
                *text += ", ";
            *text += m_list->GetColumnTitle(column) + ": " + cell;
        }
        return wxACC_OK;
    }

    wxAccStatus GetState(int childId, long* state) override {
        if (childId == wxACC_SELF)
            return wxWindowAccessible::GetState(childId, state);
        if (!IsRow(childId))
            return wxACC_INVALID_ARG;
        const long row = Row(childId);
        *state = wxACC_STATE_SYSTEM_SELECTABLE | wxACC_STATE_SYSTEM_MULTISELECTABLE | wxACC_STATE_SYSTEM_FOCUSABLE;
        if (m_list->IsSelected(row))
            *state |= wxACC_STATE_SYSTEM_SELECTED;
        if (row == m_list->GetFocusedItem() && m_list->HasFocus())
            *state |= wxACC_STATE_SYSTEM_FOCUSED;
        return wxACC_OK;
    }

    // In screen coordinates.
    wxAccStatus GetLocation(wxRect& rect, int childId) override {
        if (childId == wxACC_SELF)
            return wxWindowAccessible::GetLocation(rect, childId);
        if (!IsRow(childId) || !m_list->GetItemRect(Row(childId), rect))
            return wxACC_INVALID_ARG;
        rect.SetPosition(m_list->ClientToScreen(rect.GetPosition()));
        return wxACC_OK;
    }

    wxAccStatus HitTest(const wxPoint& point, int* childId, wxAccessible** child) override {
        const long row = m_list->HitTestRow(m_list->ScreenToClient(point));
        if (row < 0)
            return wxWindowAccessible::HitTest(point, childId, child);
        *childId = static_cast<int>(row) + 1;
        *child = nullptr;
        return wxACC_OK;
    }

    wxAccStatus GetFocus(int* childId, wxAccessible** child) override {
        if (!m_list->HasFocus())
            return wxWindowAccessible::GetFocus(childId, child);
        const long row = m_list->GetFocusedItem();
        *childId = row >= 0 ? static_cast<int>(row) + 1 : wxACC_SELF;
        *child = row >= 0 ? nullptr : this;
        return wxACC_OK;
    }

    // None: a null variant; one row: its number; several: a list of them.
    wxAccStatus GetSelections(wxVariant* selections) override {
        const std::vector<long> rows = m_list->GetSelectedItems();
        if (rows.empty()) {
            selections->MakeNull();
        } else if (rows.size() == 1) {
            *selections = rows.front() + 1;
        } else {
            selections->NullList();
            for (long row : rows)
                selections->Append(wxVariant(row + 1));
        }
        return wxACC_OK;
    }

    wxAccStatus Select(int childId, wxAccSelectionFlags flags) override {
        if (!IsRow(childId))
            return wxWindowAccessible::Select(childId, flags);
        const long row = Row(childId);
        if (flags & wxACC_SEL_TAKESELECTION) {
            m_list->DeselectAllItems();
            m_list->SelectItem(row);
        }
        if (flags & wxACC_SEL_ADDSELECTION)
            m_list->SelectItem(row);
        if (flags & wxACC_SEL_REMOVESELECTION)
            m_list->SelectItem(row, false);
        if (flags & wxACC_SEL_TAKEFOCUS) {
            m_list->SetFocus();
            m_list->FocusItem(row);
        }
        return wxACC_OK;
    }

    // Between rows, and into the first or last row.
    wxAccStatus Navigate(wxNavDir direction, int fromId, int* toId, wxAccessible** toObject) override {
        const int count = m_list->GetItemCount();
        int to = 0;
        if (fromId == wxACC_SELF && direction == wxNAVDIR_FIRSTCHILD)
            to = count > 0 ? 1 : 0;
        else if (fromId == wxACC_SELF && direction == wxNAVDIR_LASTCHILD)
            to = count;
        else if (IsRow(fromId) && (direction == wxNAVDIR_NEXT || direction == wxNAVDIR_DOWN))
            to = fromId < count ? fromId + 1 : 0;
        else if (IsRow(fromId) && (direction == wxNAVDIR_PREVIOUS || direction == wxNAVDIR_UP))
            to = fromId - 1;
        else
            return wxWindowAccessible::Navigate(direction, fromId, toId, toObject);
        if (to <= 0)
            return wxACC_FALSE;
        *toId = to;
        *toObject = nullptr;
        return wxACC_OK;
    }

private:
    bool IsRow(int childId) const { return childId >= 1 && childId <= m_list->GetItemCount(); }
    static long Row(int childId) { return childId - 1; }

    CFileListCtrl* m_list;
};

}  // namespace

wxAccessible* NewFileListAccessible(CFileListCtrl* list) { return new FileListAccessible(list); }

}  // namespace pw
