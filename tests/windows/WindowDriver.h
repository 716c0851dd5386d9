#pragma once
// Drives pagewright.exe from another process as a scanner program or a
// Windows test tool would: through window messages, global atoms and the
// controls' own messages, never through the toolkit. Test helper only.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pw::test {

// The build hands over a path of the build machine; Wine shows its root as Z:.
std::wstring WindowsPath(const std::string& path);

class WindowDriver {
public:
    WindowDriver() = default;
    ~WindowDriver();  // closes the window, or ends the process
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    // Starts the program with the arguments (already quoted) and waits for
    // its visible main window titled "Pagewright" to answer UM_PING.
    bool Start(const std::string& exe, const std::wstring& arguments = std::wstring());
    HWND Window() const { return m_window; }
    DWORD ProcessId() const { return m_process.dwProcessId; }

    // The three messages of other programs. Each waits for the reply; the
    // atom is deleted once the window has handled the message. nullopt: the
    // message was not answered in time (or the atom could not be made).
    std::optional<LRESULT> Ping(WPARAM value);
    std::optional<LRESULT> AddFile(const std::wstring& path);
    std::optional<LRESULT> ProgressText(WPARAM position, const std::wstring& text);
    // Any message, answered within the time.
    std::optional<LRESULT> Send(UINT message, WPARAM wParam, LPARAM lParam,
                                std::chrono::milliseconds timeout = std::chrono::seconds(20));

    // A control of the main window by its number (at any depth).
    HWND Control(int id) const;
    std::wstring ControlText(int id) const;
    bool ControlEnabled(int id) const;
    // A button's caption without its mnemonic mark ("S&top" reads "Stop").
    std::wstring ButtonCaption(int id) const;
    // Presses the button as a click would (BM_CLICK, posted: a batch or a
    // dialog it opens does not hold the driver).
    bool Click(int id);
    int ProgressPosition() const;

    // The file list (control 1002) read as any program reads a list view:
    // its row count, and a cell's text copied out of the window's process.
    // -1 and nullopt when the list does not answer as a list view.
    int RowCount() const;
    std::optional<std::wstring> CellText(int row, int column) const;
    // Selects only this row (and gives it the focus), as a click would.
    bool SelectRow(int row);
    // All rows, their four cells each.
    std::vector<std::vector<std::wstring>> Rows() const;
    // The rows the list shows selected, in order.
    std::vector<int> SelectedRows() const;

    // A window of the process other than the main window (a dialog, a
    // message box, a common dialog) once it shows, whose caption is the
    // text (null: any); null when none showed in time.
    HWND WaitForDialog(const wchar_t* caption = nullptr,
                       std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;
    // Waits for the window to go (its answer taken).
    bool WaitForDialogClosed(HWND dialog, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

    // The common save dialog: the name typed into its file-name field, then
    // its OK button. The folder chooser: the folder chosen in it (typed in,
    // when it is a file dialog picking folders), then OK. Both take the
    // path as the system writes it (backslashes: WindowsPath); a dialog that
    // refuses the answer stays open, and false is returned.
    bool AnswerSaveDialog(const std::wstring& path);
    // In the system's folder browser the folder is selected (in its tree);
    // its texts (title, status line) once the selection shows, joined by
    // line feeds, in *texts.
    bool AnswerFolderDialog(const std::wstring& folder, std::wstring* texts = nullptr);
    // A message box of the process (the system's or the program's own):
    // its texts joined by line feeds in *text, then the button with that
    // number (IDYES, IDNO, IDOK) pressed.
    // With a caption, only a box of that caption is answered.
    bool AnswerMessageBox(int button, std::wstring* text = nullptr, const wchar_t* caption = nullptr,
                          std::chrono::milliseconds timeout = std::chrono::seconds(30));

    // Presses a batch button after marking the Information line, so that
    // WaitForBatchEnd sees this batch's end and not an earlier one's.
    bool StartBatch(int button);
    // Until the worker's end shows: "Done." on the Information line and no
    // batch button reading "Stop".
    bool WaitForBatchEnd(std::chrono::milliseconds timeout = std::chrono::seconds(120)) const;
    bool BatchRunning() const;
    // The windows of the process besides the main window, each described
    // with its controls: for the message of a step that failed.
    std::string DescribeOtherWindows() const;

    // Asks the window to close (WM_CLOSE, posted) and waits for the process
    // to end; its exit code, or nullopt when it did not end in time.
    std::optional<DWORD> Close(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Asks the window to close (WM_CLOSE, posted) without waiting for it.
    bool AskToClose();
    // Waits for the process to end by itself.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(30));

private:
    bool AnswerItemDialog(const std::wstring& path);

    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

// The first visible top-level window of the process whose caption is the
// text (null: any), other than the given one.
HWND FindProcessWindow(DWORD process, const wchar_t* caption, HWND except = nullptr);

// A control of a dialog by its number, at any depth; its text; setting it
// (WM_SETTEXT, which the system carries across processes); pressing it.
HWND DialogControl(HWND dialog, int id);
std::wstring WindowText(HWND window);
bool SetControlText(HWND dialog, int id, const std::wstring& text);
bool ClickControl(HWND dialog, int id);
// Every control of the window, one line each (number, class, text), for
// the message of a test that did not find what it looked for.
std::string DescribeWindow(HWND window);

// The running processes of that executable name (case ignored) that the
// process started.
int ChildProcessCount(DWORD parent, const wchar_t* exeName);

}  // namespace pw::test
