// The main window's keyboard: what the file list does with a key, and the
// keys that must not close the window or press one of its buttons.

#include "mainwnd/CMainDlg.h"

#include "res/ResourceIds.h"

#include <wx/control.h>
#include <wx/textctrl.h>

namespace pw {

namespace {

// The keys the list itself acts on; numeric-pad arrows count as arrows.
bool IsNavigationKey(int code) {
    switch (code) {
    case WXK_PAGEUP:
    case WXK_PAGEDOWN:
    case WXK_LEFT:
    case WXK_UP:
    case WXK_RIGHT:
    case WXK_DOWN:
    case WXK_NUMPAD_PAGEUP:
    case WXK_NUMPAD_PAGEDOWN:
    case WXK_NUMPAD_LEFT:
    case WXK_NUMPAD_UP:
    case WXK_NUMPAD_RIGHT:
    case WXK_NUMPAD_DOWN:
        return true;
    default:
        return false;
    }
}

// A field of the window that acts on Return itself (the viewer's page
// number): there Return presses no button.
bool TakesReturnItself(wxWindow* focus, const wxWindow* window) {
    auto* field = dynamic_cast<wxTextCtrl*>(focus);
    return field && field->HasFlag(wxTE_PROCESS_ENTER) && wxGetTopLevelParent(field) == window;
}

}  // namespace

// Each button's letter: the first of its caption that no other button has.
wxString MainButtonCaption(const wxString& caption) {
    static const struct {
        const char* caption;
        const char* marked;
    } kMarks[] = {
        {"Add File(s)", "&Add File(s)"}, {"Remove", "&Remove"},     {"Remove All", "Remove A&ll"},
        {"Options", "&Options"},         {"Compress", "&Compress"}, {"Merge All", "&Merge All"},
        {"Split All", "&Split All"},     {"Extract", "&Extract"},   {"About", "A&bout"},
        {"Stop", "S&top"},
    };
    for (const auto& mark : kMarks)
        if (caption == mark.caption)
            return mark.marked;
    return caption;
}

void CMainDlg::GiveButtonsMnemonics() {
    for (int id : {IDC_ADDFILES, IDC_REMOVE, IDC_REMOVEALL, IDC_OPTIONS, IDC_COMPRESS, IDC_MERGEALL, IDC_SPLITALL,
                   IDC_EXTRACT, IDC_ABOUT})
        if (wxWindow* button = FindWindow(id))
            button->SetLabel(MainButtonCaption(wxControl::RemoveMnemonics(button->GetLabel())));
}

// The list acts only on the six navigation keys, with their modifiers (Shift
// extends the selection) as the user pressed them; Insert adds files,
// Delete removes the selected rows, Tab moves on to the next control, the
// menu key opens the context menu, Alt+Up and Alt+Down move the selected
// rows, Ctrl+A selects every row. Every other key, Home and End and typed
// letters among them, does nothing in the list.
void CMainDlg::OnFileListKeyDown(wxKeyEvent& event) {
    const int code = event.GetKeyCode();
    // Alt+Up and Alt+Down move the selected rows; Ctrl+A selects them all.
    if (event.GetModifiers() == wxMOD_ALT && (code == WXK_UP || code == WXK_DOWN || code == WXK_NUMPAD_UP ||
                                              code == WXK_NUMPAD_DOWN)) {
        MoveSelectedRows(code == WXK_UP || code == WXK_NUMPAD_UP ? -1 : 1);
        return;
    }
    if (event.GetModifiers() == wxMOD_CONTROL && code == 'A') {
        if (m_fileList)
            m_fileList->SelectAllRows();
        return;
    }
    if (IsNavigationKey(code)) {
        event.Skip();
        return;
    }
    // Alt with a letter is a button's mnemonic: the window has it.
    if (event.GetModifiers() == wxMOD_ALT) {
        event.Skip();
        return;
    }
    switch (code) {
    case WXK_INSERT:
    case WXK_NUMPAD_INSERT:
        AddFilesFromDialog();
        return;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE:
        RemoveSelected();
        return;
    case WXK_TAB:
        event.Skip();
        return;
    case WXK_MENU:
    case WXK_WINDOWS_MENU:
        ShowListContextMenu(true);
        return;
    case WXK_F10:
        if (event.GetModifiers() == wxMOD_SHIFT)
            ShowListContextMenu(true);
        return;
    default:
        return;
    }
}

// Runs before any control of the window sees the key. The window has no
// Cancel button and a default button (Add File(s)); Escape and Return reach
// neither, nor the focused button; Return goes only to a field that takes
// it itself. F1 is Help wherever the focus is.
void CMainDlg::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_ESCAPE:
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        if (TakesReturnItself(FindFocus(), this))
            event.Skip();
        return;
    case WXK_F1:
        ShowHelp();
        return;
    default:
        event.Skip();
        return;
    }
}

}  // namespace pw
