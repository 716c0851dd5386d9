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

    // Asks the window to close (WM_CLOSE, posted) and waits for the process
    // to end; its exit code, or nullopt when it did not end in time.
    std::optional<DWORD> Close(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Waits for the process to end by itself.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(30));

private:
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

// The first visible top-level window of the process whose caption is the
// text (null: any), other than the given one.
HWND FindProcessWindow(DWORD process, const wchar_t* caption, HWND except = nullptr);

}  // namespace pw::test
