#pragma once
// The main window: the file list, the preview area, the command buttons,
// the information line and the progress bar (template 102).

#include "ui/CVertSplitter.h"
#include "ui/cdxCResizableDialog.h"

#include <wx/gauge.h>
#include <wx/iconbndl.h>
#include <wx/timer.h>
#include "mainwnd/CFileListCtrl.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pw {

class SessionBusService;
class CFoliocx;

// A caption of the window's buttons with its mnemonic ("Compress" gives
// "&Compress"): Alt and the marked letter press the button, and the text a
// screen reader reads stays the same.
wxString MainButtonCaption(const wxString& caption);

// A column of the file list is as wide as given, or wider when its title
// needs more room in the list's font.
int FileListColumnWidth(const wxWindow* list, const wxString& title, int width);

class MainDlgBatchLink;
class BatchOperations;

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

    // Batches from the Compress, Merge All and Split All buttons
    // (MainDlgBatch.cpp). StartBatch asks for the output place and starts
    // the worker on the current operation; StopBatch ends a running batch
    // and brings the window back to the idle state, and is safe without one.
    bool StartBatch();
    void StopBatch();
    // How long StopBatch waits for the worker to end before the window goes
    // on without it.
    static constexpr int kStopWaitMs = 5000;
    // The work the batches do: unless set (tests put their own in), the
    // engine the "Engine" setting names, made anew for each batch. Must
    // outlive every batch started with it.
    void SetBatchOperations(BatchOperations* operations) { m_operations = operations; }
    // True while one of the batch buttons reads "Stop".
    bool IsBatchRunning() const;
    // The worker's notices, on the window's thread: the bar's position; the
    // row about to be processed, or kBatchFinished.
    void OnProgress(int position);
    void OnItemStarted(long index);

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

    // The commands of the window (MainDlgCommands.cpp, MainDlgKeys.cpp).
    // Add File(s): the Open dialog, then AddFiles.
    void AddFilesFromDialog();
    // Appends the files chosen in the Open dialog; false when cancelled.
    static bool BrowseTiffFiles(wxWindow* owner, std::vector<std::string>& paths);
    // Adds the dropped files that pass IsTiffPath, in the dropped order.
    void AddDroppedFiles(const std::vector<std::string>& dropped);
    void RemoveSelected();
    void RemoveAll();
    // The order of the rows, which is the order of a merge
    // (MainDlgOrder.cpp): the selected rows one place up (step -1) or down
    // (+1) together, and all rows by the contents of a column, the other
    // way round when sorted by that column just before.
    void MoveSelectedRows(int step);
    void SortByColumn(int column);
    // The list's context menu at the mouse pointer (opened from the
    // keyboard: at the list's top left corner), and its commands (1 to 5,
    // in the menu's order).
    void ShowListContextMenu(bool fromKeyboard = false);
    void RunListCommand(int command);
    void ShowAbout();
    // Help: opens the home page.
    void ShowHelp();
    // Shows the tiffinfo report of the file in the TIFF Information dialog;
    // false, with no dialog, when the file, the program's path or tiffinfo
    // beside it is missing.
    bool ShowTiffInformation(const std::string& path);
    // Shows the text on the Information line and sets the progress bar;
    // an empty text changes nothing.
    void OnProgressText(unsigned position, const std::string& text);
    // The bus name other programs reach this window at; empty without a
    // session bus.
    std::string GetBusName() const;

    CFileListCtrl* GetFileList() const { return m_fileList; }
    wxGauge* GetProgressBar() const { return m_progress; }
    wxWindow* GetPreview() const;
    CFoliocx* GetViewer() const { return m_preview; }

    // The preview (MainDlgPreview.cpp): timer 100 shows the first selected
    // row's file in the viewer once a second; the trim keeps the viewer's
    // toolbar buttons 2 to 15.
    static constexpr int kPreviewTimerId = 100;
    static constexpr int kPreviewTimerMs = 1000;
    wxTimer& GetPreviewTimer() { return m_previewTimer; }
    void TrimPreviewToolbar();
    CVertSplitter& GetSplitter() { return m_splitter; }

    // Where and how large the window was when it last closed, maximised or
    // not, and where its splitter bar stood (MainDlgPlacement.cpp): kept in
    // the desktop's configuration (wxConfig), apart from the settings
    // files, and brought back onto the display the window opens on.
    void SavePlacement() const;
    void RestorePlacement();
    const wxIconBundle& GetIcons() const { return m_icon; }

protected:
    // The layout places the panes by its proportions; the bar between them
    // then sets them against itself again, as it did at the start, so that
    // a drag moves them by exactly its distance.
    void OnLayoutPlaced() override;

private:
    void BindControls();
    void BindBatchButtons();
    void OnBatchButton(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void ShutDownBatch();
    void AddControlsToLayout();
    void ReleaseBorrowedImageLists();
    void OnEraseBackground(wxEraseEvent& event);
    void BindCommands();
    void BindOrder();
    void OnFileListKeyDown(wxKeyEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void GiveButtonsMnemonics();
    void StartSessionBusService();
    void OnExtract(wxCommandEvent& event);
    void OnOptions(wxCommandEvent& event);
    void StartPreviewTimer();
    void SetUpSplitter();
    void NameControlsForScreenReaders();
    void OnTimer(wxTimerEvent& event);

    wxGauge* m_progress = nullptr;
    CFileListCtrl* m_fileList = nullptr;
    std::unique_ptr<MainDlgBatchLink> m_batch;
    BatchOperations* m_operations = nullptr;
    wxRect m_normalRect;             // the last size and place not maximised
    int m_restoredBar = -1;          // the splitter's place to keep at this size
    wxSize m_restoredClient;
    int m_sortColumn = -1;
    bool m_sortDescending = false;
    CFoliocx* m_preview = nullptr;
    wxTimer m_previewTimer;
    CVertSplitter m_splitter;
    wxIconBundle m_icon;
    StartupHooks m_hooks;
    std::unique_ptr<SessionBusService> m_busService;
};

}  // namespace pw
