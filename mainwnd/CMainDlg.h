#pragma once
// The main window: the file list, the preview area, the command buttons,
// the information line and the progress bar (template 102).

#include "ui/cdxCResizableDialog.h"

#include <wx/gauge.h>
#include <wx/iconbndl.h>
#include "mainwnd/CFileListCtrl.h"

#include <functional>
#include <string>
#include <vector>

namespace pw {

// A column of the file list is as wide as given, or wider when its title
// needs more room in the list's font.
int FileListColumnWidth(const wxWindow* list, const wxString& title, int width);

class CMainDlg : public cdxCResizableDialog {
public:
    // How start-up reaches the message box and ends the process; tests
    // replace them to watch -copyright without a real box or exit.
    struct StartupHooks {
        std::function<int(wxWindow* owner, const char* text, const char* caption, unsigned style)> messageBox;
        std::function<void(int exitCode)> exitProcess;
    };

    explicit CMainDlg(wxWindow* parent = nullptr);
    ~CMainDlg() override;
    bool Destroy() override;

    // Builds the window and applies the command line (see CMainDlg.cpp).
    bool OnInitDialog() override;

    // Applies the program's arguments; ProcessCommandLine(args) the given
    // ones. 0 with fewer than two arguments, else 1.
    int ProcessCommandLine();
    int ProcessCommandLine(const std::vector<std::string>& args);
    void SetStartupHooks(StartupHooks hooks);

    // The file list. Column 0 holds the path, 1 the page count, 2 the size
    // text, 3 the status text.
    void SetUpFileList();
    // Adds the path when it is not null, not empty and names something that
    // exists (a folder too), then updates the buttons.
    void AddExistingFile(const char* path);
    // Appends one row for the path, unchecked; returns its index.
    long AddFile(const std::string& path);
    // Appends one row per path in order, showing progress and handling the
    // window's waiting events before each file.
    void AddFiles(std::vector<std::string> paths);
    // Enables Remove and Extract when rows are selected, and Remove All,
    // Merge All, Compress and Split All when there are rows.
    void UpdateButtons();
    void DeselectAll();
    // Appends the paths of the selected rows in list order, skipping empty
    // ones; returns the length of the list afterwards.
    int GetSelectedPaths(std::vector<std::string>& paths) const;
    void ClearInformationColumn();

    CFileListCtrl* GetFileList() const { return m_fileList; }
    wxGauge* GetProgressBar() const { return m_progress; }
    wxWindow* GetPreview() const { return m_preview; }
    const wxIconBundle& GetIcons() const { return m_icon; }

private:
    void BindControls();
    void AddControlsToLayout();
    void ReleaseBorrowedImageLists();
    void OnEraseBackground(wxEraseEvent& event);

    wxGauge* m_progress = nullptr;
    CFileListCtrl* m_fileList = nullptr;
    wxWindow* m_preview = nullptr;
    wxIconBundle m_icon;
    StartupHooks m_hooks;
};

}  // namespace pw
