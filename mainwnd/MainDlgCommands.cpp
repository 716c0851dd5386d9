// The main window's commands on the file list: adding through the Open
// dialog and by dropping, removing, opening files, the context menu, About
// and Help.

#include "dialogs/CAboutDlg.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/FileListRules.h"
#include "mainwnd/ListContextMenu.h"
#include "mainwnd/ProgramHelp.h"
#include "platform/ProductIdentity.h"
#include "res/ResourceIds.h"
#include "ui/AppMessageBox.h"
#include "ui/OpenInBackground.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <wx/menu.h>
#include <wx/utils.h>

namespace pw {

void CMainDlg::BindCommands() {
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { AddFilesFromDialog(); }, IDC_ADDFILES);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RemoveSelected(); }, IDC_REMOVE);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RemoveAll(); }, IDC_REMOVEALL);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowAbout(); }, IDC_ABOUT);
    Bind(wxEVT_DROP_FILES, [this](wxDropFilesEvent& event) {
        std::vector<std::string> dropped;
        for (int i = 0; i < event.GetNumberOfFiles(); ++i)
            dropped.push_back(PathFromWx(event.GetFiles()[i]));
        AddDroppedFiles(dropped);
    });
    Bind(wxEVT_CHAR_HOOK, &CMainDlg::OnCharHook, this);
    if (!m_fileList)
        return;
    m_fileList->Bind(EVT_FILELIST_KEY_DOWN, &CMainDlg::OnFileListKeyDown, this);
    Bind(EVT_FILELIST_DOUBLE_CLICK, [this](wxCommandEvent& event) {
        const long row = event.GetInt();
        if (row < 0 || row >= m_fileList->GetItemCount())
            return;
        const std::string path = PathFromWx(m_fileList->GetItemText(row, 0));
        if (!path.empty())
            OpenInBackground({path});
    });
    Bind(EVT_FILELIST_CLICK, [this](wxCommandEvent&) { UpdateButtons(); });
    // The buttons follow the selection however it changes, so that rows
    // selected with the keyboard can be removed or extracted with the
    // buttons too.
    Bind(EVT_FILELIST_SELECTION_CHANGED, [this](wxCommandEvent&) { UpdateButtons(); });
    Bind(EVT_FILELIST_RIGHT_CLICK, [this](wxCommandEvent&) { ShowListContextMenu(); });
}

void CMainDlg::AddFilesFromDialog() {
    std::vector<std::string> paths;
    BrowseTiffFiles(this, paths);
    AddFiles(std::move(paths));
}

void CMainDlg::AddDroppedFiles(const std::vector<std::string>& dropped) {
    std::vector<std::string> paths;
    for (const std::string& path : dropped)
        if (IsTiffPath(path.c_str()))
            paths.push_back(path);
    AddFiles(std::move(paths));
}

void CMainDlg::RemoveSelected() {
    if (!m_fileList)
        return;
    // The selection is read once, before the first row goes: deleting a row
    // may move the view's selection to its neighbour.
    const std::vector<long> selected = m_fileList->GetSelectedItems();
    long first = 0;
    for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
        m_fileList->DeleteItem(*row);
        first = *row;
    }
    // The row that took the place of the first removed one, or the new
    // last row when the removed rows were at the end.
    const long count = m_fileList->GetItemCount();
    if (first >= count)
        first = count - 1;
    if (first >= 0 && first < count) {
        m_fileList->SelectItem(first);
        m_fileList->FocusItem(first);
    }
    UpdateButtons();
}

void CMainDlg::RemoveAll() {
    if (m_fileList)
        m_fileList->DeleteAllItems();
    UpdateButtons();
}

void CMainDlg::ShowListContextMenu(bool fromKeyboard) {
    if (!m_fileList)
        return;
    const wxPoint at = fromKeyboard ? m_fileList->GetPosition() + wxPoint(16, 16)
                                    : ScreenToClient(wxGetMousePosition()) + wxPoint(1, 1);
    std::unique_ptr<wxMenu> menu =
        BuildListContextMenu(m_fileList->GetItemCount(), m_fileList->GetSelectedItemCount());
    const int command = GetPopupMenuSelectionFromUser(*menu, at);
    menu.reset();
    if (command != wxID_NONE)
        RunListCommand(command);
}

void CMainDlg::RunListCommand(int command) {
    switch (command) {
    case kListMenuAddFiles:
        AddFilesFromDialog();
        break;
    case kListMenuRemove:
        RemoveSelected();
        break;
    case kListMenuRemoveAll:
        RemoveAll();
        break;
    case kListMenuViewFile: {
        if (!m_fileList)
            break;
        // The desktop's opener may take a second or more per file to say
        // whether it could open it; the window does not wait for it.
        std::vector<std::string> paths;
        GetSelectedPaths(paths);
        OpenInBackground(std::move(paths));
        break;
    }
    case kListMenuViewFileInformation: {
        if (!m_fileList)
            break;
        const std::vector<long> rows = m_fileList->GetSelectedItems();
        const std::string path = rows.empty() ? std::string() : PathFromWx(m_fileList->GetItemText(rows.front(), 0));
        if (path.empty())
            AppMessageBox(this, "No file selected!", MB_OK);
        else if (!ShowTiffInformation(path))
            AppMessageBox(this, "ERROR", MB_OK);
        break;
    }
    default:
        break;
    }
}

void CMainDlg::ShowAbout() {
    CAboutDlg about(this);
    about.ShowModal();
}

void CMainDlg::ShowHelp() { OpenProgramHelp(); }

}  // namespace pw
