#include "tests/windows/WindowDriver.h"

#include "mainwnd/WindowMessages.h"
#include "platform/WideText_win32.h"
#include "tests/fixtures/TiffFixtures.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>

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

// The folder browser's tree and status line.
constexpr int kBrowserTree = 0x3741;
constexpr int kBrowserStatus = 0x3743;

// A visible top-level window of the process, other than except, with the
// caption (null: any); with dialogsOnly a window with a caption bar:
// dialogs and message boxes, not the tips and menus that are top-level
// windows too.
struct WindowSearch {
    DWORD process;
    const wchar_t* caption;
    HWND except;
    bool dialogsOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || window == search->except || !::IsWindowVisible(window))
        return TRUE;
    if (search->dialogsOnly && (::GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
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

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    return name;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND window) {
    std::vector<HWND> children;
    ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == found->first && ::IsWindowVisible(window))
        found->second.push_back(window);
    return TRUE;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(x) == std::towlower(y);
           });
}

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
    WindowSearch search{process, caption, except, false, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND DialogControl(HWND dialog, int id) {
    ControlSearch search{id, nullptr};
    ::EnumChildWindows(dialog, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowText(HWND window) {
    wchar_t text[2048] = {};
    if (window)
        ::SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 20000, nullptr);
    return text;
}

bool SetControlText(HWND dialog, int id, const std::wstring& text) {
    HWND control = DialogControl(dialog, id);
    DWORD_PTR result = 0;
    return control && ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                            SMTO_NORMAL, 20000, &result) && result != 0;
}

bool ClickControl(HWND dialog, int id) {
    HWND control = DialogControl(dialog, id);
    return control && ::IsWindowEnabled(control) && ::PostMessageW(control, BM_CLICK, 0, 0);
}

std::string DescribeWindow(HWND window) {
    std::string text = Narrow(ClassOf(window)) + " \"" + Narrow(WindowText(window)) + "\"\n";
    for (HWND child : ChildrenOf(window))
        text += "  " + std::to_string(::GetDlgCtrlID(child)) + " " + Narrow(ClassOf(child)) + " \"" +
                Narrow(WindowText(child)) + "\"" + (::IsWindowVisible(child) ? "" : " (hidden)") + "\n";
    return text;
}

int ChildProcessCount(DWORD parent, const wchar_t* exeName) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == parent && SameText(entry.szExeFile, exeName))
            ++count;
    ::CloseHandle(snapshot);
    return count;
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

std::wstring WindowDriver::ButtonCaption(int id) const {
    std::wstring caption = ControlText(id);
    caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
    return caption;
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

std::vector<int> WindowDriver::SelectedRows() const {
    std::vector<int> rows;
    HWND list = Control(1002);
    DWORD_PTR next = static_cast<DWORD_PTR>(-1);
    while (list && ::SendMessageTimeoutW(list, LVM_GETNEXTITEM, next, LVNI_SELECTED, SMTO_NORMAL, 20000, &next) &&
           static_cast<int>(next) >= 0)
        rows.push_back(static_cast<int>(next));
    return rows;
}

HWND WindowDriver::WaitForDialog(const wchar_t* caption, std::chrono::milliseconds timeout) const {
    WindowSearch search{m_process.dwProcessId, caption, m_window, true, nullptr};
    WaitUntil([&] {
        search.found = nullptr;
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeout);
    return search.found;
}

bool WindowDriver::WaitForDialogClosed(HWND dialog, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, timeout);
}

// The save dialog and the folder chooser are the system's item dialogs:
// the name or the folder is typed into the name field (edt1; cmb13 in
// the older explorer-style dialog), then OK pressed.
bool WindowDriver::AnswerItemDialog(const std::wstring& path) {
    HWND dialog = nullptr;
    HWND field = nullptr;
    WaitUntil([&] {
        dialog = WaitForDialog(nullptr, std::chrono::milliseconds(0));
        field = nullptr;
        for (int id : {edt1, cmb13}) {
            HWND control = dialog ? DialogControl(dialog, id) : nullptr;
            if (control && ::IsWindowVisible(control)) {
                field = control;
                break;
            }
        }
        return field != nullptr;
    }, std::chrono::seconds(30));
    DWORD_PTR result = 0;
    return field &&
           ::SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 20000,
                                 &result) &&
           ClickControl(dialog, IDOK) && WaitForDialogClosed(dialog, std::chrono::seconds(10));
}

bool WindowDriver::AnswerSaveDialog(const std::wstring& path) { return AnswerItemDialog(path); }

// The system's folder browser (a tree of folders, no name field) takes
// its selection as a path by BFFM_SETSELECTIONW, whose text must be in the
// browser's process.
bool WindowDriver::AnswerFolderDialog(const std::wstring& folder, std::wstring* texts) {
    HWND browser = nullptr;
    WaitUntil([&] {
        browser = WaitForDialog(nullptr, std::chrono::milliseconds(0));
        return browser && DialogControl(browser, IDOK) &&
               (DialogControl(browser, edt1) || DialogControl(browser, kBrowserTree));
    }, std::chrono::seconds(30));
    if (!browser || DialogControl(browser, edt1))
        return AnswerItemDialog(folder);
    if (!DialogControl(browser, kBrowserTree))
        return false;
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, m_process.dwProcessId);
    if (!process)
        return false;
    const SIZE_T size = (folder.size() + 1) * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    bool selected = remote && ::WriteProcessMemory(process, remote, folder.c_str(), size, nullptr);
    // A browser that is still filling its tree may let a selection pass:
    // it is asked again until its status line names the folder (the
    // program shows the selected folder there) or the time is up.
    const auto shows = [&] { return WindowText(DialogControl(browser, kBrowserStatus)) == folder; };
    for (int attempt = 0; selected && attempt < 10 && !shows(); ++attempt) {
        DWORD_PTR result = 0;
        selected = ::SendMessageTimeoutW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote),
                                         SMTO_NORMAL, 20000, &result);
        WaitUntil(shows, std::chrono::seconds(1));
    }
    if (remote)
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    if (!selected)
        return false;
    if (texts) {
        texts->clear();
        for (HWND child : ChildrenOf(browser)) {
            const std::wstring part = WindowText(child);
            if (SameText(ClassOf(child), L"Static") && !part.empty())
                *texts += (texts->empty() ? L"" : L"\n") + part;
        }
    }
    return ClickControl(browser, IDOK) && WaitForDialogClosed(browser, std::chrono::seconds(10));
}

bool WindowDriver::AnswerMessageBox(int button, std::wstring* text, const wchar_t* caption,
                                    std::chrono::milliseconds timeout) {
    HWND box = nullptr;
    WaitUntil([&] {
        box = WaitForDialog(caption, std::chrono::milliseconds(0));
        return box && DialogControl(box, button);
    }, timeout);
    if (!box || !DialogControl(box, button))
        return false;
    if (text) {
        text->clear();
        for (HWND child : ChildrenOf(box)) {
            const std::wstring part = WindowText(child);
            if (SameText(ClassOf(child), L"Static") && !part.empty())
                *text += (text->empty() ? L"" : L"\n") + part;
        }
    }
    return ClickControl(box, button) && WaitForDialogClosed(box);
}

std::string WindowDriver::DescribeOtherWindows() const {
    std::pair<DWORD, std::vector<HWND>> found{m_process.dwProcessId, {}};
    ::EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&found));
    std::string text;
    for (HWND window : found.second)
        if (window != m_window)
            text += DescribeWindow(window);
    return text.empty() ? "no other window" : text;
}

bool WindowDriver::StartBatch(int button) {
    return ProgressText(0, L"Batch starting") && ControlText(1025) == L"Batch starting" && Click(button);
}

bool WindowDriver::BatchRunning() const {
    for (int id : {1086, 1016, 1082})
        if (ButtonCaption(id) == L"Stop")
            return true;
    return false;
}

bool WindowDriver::WaitForBatchEnd(std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return ControlText(1025) == L"Done." && !BatchRunning(); }, timeout);
}

std::optional<DWORD> WindowDriver::Close(std::chrono::milliseconds timeout) {
    if (!m_process.hProcess)
        return std::nullopt;
    if (m_window)
        ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    return WaitForExit(timeout);
}

bool WindowDriver::AskToClose() { return m_window && ::PostMessageW(m_window, WM_CLOSE, 0, 0); }

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
