// pagewright.exe started as a user would, with "-add FILE": its main window
// appears, and its file list holds the one row, the file's name intact.
// Runs as a Windows program (under Wine in the cross build) on a display.

#include "tests/fixtures/TiffFixtures.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/WideText_win32.h"

namespace pw {
namespace {

using namespace std::chrono_literals;

// The build hands over a path of the build machine; Wine shows its root as Z:.
std::wstring WindowsPath(const std::string& path)
{
    std::wstring wide = Widen(path);
    if (!wide.empty() && wide[0] == L'/')
        wide = L"Z:" + wide;
    for (wchar_t& c : wide) {
        if (c == L'/')
            c = L'\\';
    }
    return wide;
}

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t title[256] = {};
    ::GetWindowTextW(window, title, 256);
    if (owner == search->process && ::IsWindowVisible(window) && std::wstring(title) == L"Pagewright") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindListView(HWND window, LPARAM data)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) == WC_LISTVIEWW) {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

// The text of one cell of another process's list view, read through a
// buffer in that process.
std::wstring ItemText(HANDLE process, HWND list, int row, int column)
{
    constexpr SIZE_T kChars = 1024;
    const SIZE_T size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<char*>(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (remote == nullptr)
        return std::wstring();
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    const auto n = ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    std::wstring text(static_cast<size_t>(n), L'\0');
    if (n > 0)
        ::ReadProcessMemory(process, remote + sizeof(LVITEMW), text.data(), n * sizeof(wchar_t), nullptr);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

TEST(WindowSmokeTest, AddedFileAppearsAsTheOnlyRow)
{
    test::TempFolder folder;
    const std::string file = folder / "Größe 文書.tif";
    ASSERT_TRUE(test::WriteTiff(file, 2));

    std::wstring commandLine = L"\"" + WindowsPath(PAGEWRIGHT_EXE) + L"\" -add \"" + Widen(file) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &info))
        << "cannot start " << PAGEWRIGHT_EXE;
    ::CloseHandle(info.hThread);

    Search search{info.dwProcessId, nullptr};
    HWND list = nullptr;
    int rows = -1;
    const bool shown = test::WaitUntil([&] {
        search.found = nullptr;
        ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr)
            return false;
        list = nullptr;
        ::EnumChildWindows(search.found, FindListView, reinterpret_cast<LPARAM>(&list));
        rows = list != nullptr ? static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
        return rows >= 1;
    }, 90s);

    std::wstring name;
    if (shown)
        name = ItemText(info.hProcess, list, 0, 0);
    if (search.found != nullptr)
        ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(info.hProcess, 1);
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hProcess);

    ASSERT_NE(search.found, nullptr) << "no visible window titled Pagewright";
    ASSERT_NE(list, nullptr) << "the main window has no list view";
    EXPECT_EQ(rows, 1);
    EXPECT_NE(name.find(L"Größe 文書"), std::wstring::npos) << "first cell: " << Narrow(name);
    EXPECT_EQ(code, 0u) << "the program did not end cleanly after WM_CLOSE";
}

}  // namespace
}  // namespace pw
