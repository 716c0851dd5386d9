// The file list of the main window: one row per file, the path in column 0.

#include "mainwnd/CMainDlg.h"
#include "mainwnd/FileListRules.h"
#include "ui/PathText.h"
#include "mainwnd/SystemImageLists.h"
#include "mainwnd/WaitingEvents.h"
#include "pages/TiffPages.h"
#include "platform/Paths.h"

#include <wx/app.h>
#include <wx/control.h>
#include <wx/weakref.h>

#include <algorithm>
#include <chrono>

namespace pw {

namespace {

struct Column {
    const char* title;
    int width;
};

constexpr Column kColumns[] = {
    {"TIFF File", 200},
    {"Page Count", 70},
    {"File Size", 100},
    {"Information", 70},
};

// The shortest time between two showings of the window while AddFiles adds
// rows: five a second keep the new rows and the progress in sight.
constexpr std::chrono::milliseconds kFrameInterval{200};

// Keeps a window and its children from painting; ShowNow paints what has
// changed at once. Safe when the window goes away meanwhile.
class PaintFreeze {
public:
    explicit PaintFreeze(wxWindow* window) : m_window(window) { m_window->Freeze(); }
    ~PaintFreeze() { Release(); }
    void ShowNow() {
        if (!m_window || !m_frozen)
            return;
        m_window->Thaw();
        m_window->Update();
        m_window->Freeze();
    }
    void Release() {
        if (m_window && m_frozen)
            m_window->Thaw();
        m_frozen = false;
    }

private:
    wxWeakRef<wxWindow> m_window;
    bool m_frozen = true;
};

}  // namespace

int FileListColumnWidth(const wxWindow* list, const wxString& title, int width) {
    constexpr int kTitleMargin = 10;  // each side of a column title
    return std::max(width, list->GetTextExtent(title).x + 2 * kTitleMargin);
}

void CMainDlg::SetUpFileList() {
    if (!m_fileList)
        return;
    for (int i = 0; i < 4; ++i)
        m_fileList->InsertColumn(i, kColumns[i].title, wxLIST_FORMAT_LEFT);
    for (int i = 0; i < 4; ++i)
        m_fileList->SetColumnWidth(i, FileListColumnWidth(m_fileList, kColumns[i].title, kColumns[i].width));
}

void CMainDlg::AddExistingFile(const char* path) {
    if (!path || !*path || !PathExists(path))
        return;
    AddFile(path);
    UpdateButtons();
}

long CMainDlg::AddFile(const std::string& path) {
    if (!m_fileList)
        return -1;
    const long index = m_fileList->GetItemCount();
    const int icon = SystemImageLists::Get().IconIndexForPath(path);
    // The row goes in with all its texts at once: path, page count, size,
    // and an empty status.
    return m_fileList->InsertItem(
        index, {PathToWx(path), wxString::Format("%d", GetTiffPageCount(path)), FormatFileSize(path), wxString()},
        icon);
}

void CMainDlg::AddFiles(std::vector<std::string> paths) {
    const std::size_t n = paths.size();
    if (n == 0 || !m_fileList)
        return;
    wxWeakRef<CMainDlg> self(this);
    // Showing a new row scrolls the list, and a scrolled list repaints every
    // row in view, which costs more than adding a row; so does repainting
    // the progress bar at each step. So the window stays frozen while the
    // files go in and is shown at most five times a second, never for more
    // than a ninth of the time (slow displays repaint less often), and once
    // more after the last file. Events are still handled before every file.
    using Clock = std::chrono::steady_clock;
    PaintFreeze freeze(this);
    Clock::time_point nextShow = Clock::now() + kFrameInterval;
    for (std::size_t i = 0; i < n; ++i) {
        const int progress = static_cast<int>((i * 100 + 99) / n);
        if (m_progress && m_progress->GetValue() != progress)
            m_progress->SetValue(progress);
        // Commands, timers and batch notices run between files. A handler
        // may call AddFiles again (it then adds without handling events, and
        // resets the bar when done) or close the window, after which nothing
        // more is added.
        DispatchWaitingEvents();
        if (!self || IsBeingDeleted())
            return;
        if (m_progress && m_progress->GetValue() != progress)
            m_progress->SetValue(progress);
        const long row = AddFile(paths[i]);
        if (row >= 0 && (Clock::now() >= nextShow || i + 1 == n)) {
            const Clock::time_point start = Clock::now();
            m_fileList->ScrollIntoView(row);
            freeze.ShowNow();
            const Clock::time_point end = Clock::now();
            nextShow = end + std::max<Clock::duration>(kFrameInterval, 8 * (end - start));
        }
        TransferDataToWindow();
    }
    freeze.Release();
    if (m_progress)
        m_progress->SetValue(0);
    UpdateButtons();
}

void CMainDlg::UpdateButtons() {
    if (!m_fileList)
        return;
    const int count = m_fileList->GetItemCount();
    const int selected = m_fileList->GetSelectedItemCount();
    // The button of a running batch reads "Stop" and stays usable, even when
    // the list has been emptied meanwhile.
    for (const auto& [id, enabled] : FileListButtonStates(count, selected))
        if (wxWindow* button = FindWindow(id))
            button->Enable(enabled || wxControl::RemoveMnemonics(button->GetLabel()) == "Stop");
}

void CMainDlg::DeselectAll() {
    if (!m_fileList)
        return;
    m_fileList->DeselectAllItems();
}

int CMainDlg::GetSelectedPaths(std::vector<std::string>& paths) const {
    if (m_fileList) {
        for (long item : m_fileList->GetSelectedItems()) {
            const wxString text = m_fileList->GetItemText(item, 0);
            if (!text.empty())
                paths.push_back(PathFromWx(text));
        }
    }
    return static_cast<int>(paths.size());
}

void CMainDlg::ClearInformationColumn() {
    if (!m_fileList)
        return;
    const long count = m_fileList->GetItemCount();
    for (long i = 0; i < count; ++i) {
        m_fileList->SetItem(i, 3, wxString());
        m_fileList->SetItemNote(i, wxString());
    }
}

}  // namespace pw
