#include "tests/windows/WindowDriver.h"

#include "mainwnd/WindowMessages.h"
#include "platform/WideText_win32.h"
#include "tests/fixtures/TiffFixtures.h"

#include <commctrl.h>

#include <algorithm>

namespace pw::test {

using namespace std::chrono_literals;

std::wstring WindowsPath(const std::string& path) {
    std::wstring wide = Widen(path);
    if (!wide.empty() && wide[0] == L'/')
        wide = L"Z:" + wide;
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return wide;
}

namespace {

struct WindowSearch {
    DWORD process;
    const wchar_t* caption;
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || window == search->except || !::IsWindowVisible(window))
        return TRUE;
    wchar_t title[256] = {};
    ::GetWindowTextW(window, title, 256);
    if (search->caption && std::wstring(title) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    if (::GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindProcessWindow(DWORD process, const wchar_t* caption, HWND except) {
    WindowSearch search{process, caption, except, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

WindowDriver::~WindowDriver() {
    if (!m_process.hProcess)
        return;
    if (!Close(20s))
        ::TerminateProcess(m_process.hProcess, 1);
    ::CloseHandle(m_process.hProcess);
}

bool WindowDriver::Start(const std::string& exe, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + WindowsPath(exe) + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &m_process))
        return false;
    ::CloseHandle(m_process.hThread);
    m_process.hThread = nullptr;
    // The window is the one once it answers as the main window does.
    return WaitUntil([&] {
        m_window = FindProcessWindow(m_process.dwProcessId, L"Pagewright");
        return m_window != nullptr && Send(UM_PING, kPingQuestion, 0, 2s) == LRESULT(kPingAnswer);
    }, 90s);
}

std::optional<LRESULT> WindowDriver::Send(UINT message, WPARAM wParam, LPARAM lParam,
                                          std::chrono::milliseconds timeout) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(m_window, message, wParam, lParam, SMTO_NORMAL,
                               static_cast<UINT>(timeout.count()), &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::optional<LRESULT> WindowDriver::Ping(WPARAM value) { return Send(UM_PING, value, 0); }

std::optional<LRESULT> WindowDriver::AddFile(const std::wstring& path) {
    const ATOM atom = ::GlobalAddAtomW(path.c_str());
    if (atom == 0)
        return std::nullopt;
    auto reply = Send(UM_ADD_FILE, 0, atom);
    ::GlobalDeleteAtom(atom);
    return reply;
}

std::optional<LRESULT> WindowDriver::ProgressText(WPARAM position, const std::wstring& text) {
    const ATOM atom = ::GlobalAddAtomW(text.c_str());
    if (atom == 0)
        return std::nullopt;
    auto reply = Send(UM_PROGRESS_TEXT, position, atom);
    ::GlobalDeleteAtom(atom);
    return reply;
}

HWND WindowDriver::Control(int id) const {
    ControlSearch search{id, nullptr};
    ::EnumChildWindows(m_window, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowDriver::ControlText(int id) const {
    HWND control = Control(id);
    if (!control)
        return std::wstring();
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 20000, nullptr);
    return text;
}

bool WindowDriver::ControlEnabled(int id) const {
    HWND control = Control(id);
    return control && ::IsWindowEnabled(control);
}

bool WindowDriver::Click(int id) {
    HWND control = Control(id);
    return control && ::PostMessageW(control, BM_CLICK, 0, 0);
}

int WindowDriver::ProgressPosition() const {
    HWND bar = Control(1014);
    DWORD_PTR position = 0;
    if (!bar || !::SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 20000, &position))
        return -1;
    return static_cast<int>(position);
}

int WindowDriver::RowCount() const {
    HWND list = Control(1002);
    DWORD_PTR count = 0;
    if (!list || !::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 20000, &count))
        return -1;
    return static_cast<int>(count);
}

// The item record and the text go through memory of the window's process,
// where the list view reads and writes them.
std::optional<std::wstring> WindowDriver::CellText(int row, int column) const {
    HWND list = Control(1002);
    if (!list)
        return std::nullopt;
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                   m_process.dwProcessId);
    if (!process)
        return std::nullopt;
    constexpr int kChars = 1024;
    const SIZE_T size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    std::optional<std::wstring> text;
    if (remote) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(LVITEMW));
        item.cchTextMax = kChars;
        DWORD_PTR length = 0;
        std::wstring buffer(kChars, L'\0');
        if (::WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
            ::SendMessageTimeoutW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote),
                                  SMTO_NORMAL, 20000, &length) &&
            ::ReadProcessMemory(process, remote + sizeof(LVITEMW), buffer.data(), kChars * sizeof(wchar_t), nullptr)) {
            buffer.resize(std::min<std::size_t>(length, kChars - 1));
            text = buffer;
        }
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return text;
}

bool WindowDriver::SelectRow(int row) {
    HWND list = Control(1002);
    HANDLE process = list ? ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, m_process.dwProcessId)
                          : nullptr;
    if (!process)
        return false;
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
    bool done = false;
    if (remote) {
        // Every row loses the selection, then the one row takes it.
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        DWORD_PTR result = 0;
        done = ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
               ::SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 20000, &result);
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        done = done && ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
               ::SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                                     reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 20000, &result) &&
               result != 0;
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return done;
}

std::vector<std::vector<std::wstring>> WindowDriver::Rows() const {
    std::vector<std::vector<std::wstring>> rows;
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < 4; ++column)
            cells.push_back(CellText(row, column).value_or(L"?"));
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::optional<DWORD> WindowDriver::Close(std::chrono::milliseconds timeout) {
    if (!m_process.hProcess)
        return std::nullopt;
    if (m_window)
        ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    return WaitForExit(timeout);
}

std::optional<DWORD> WindowDriver::WaitForExit(std::chrono::milliseconds timeout) {
    if (!m_process.hProcess)
        return std::nullopt;
    if (::WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

}  // namespace pw::test
