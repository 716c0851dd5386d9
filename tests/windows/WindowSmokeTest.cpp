// pagewright.exe started as a user would, with "-add FILE": its main window
// appears, and its file list takes the file, whose name is not ASCII.
// Runs as a Windows program (under Wine in the cross build) on a display.

#include "tests/fixtures/TiffFixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

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

struct ButtonSearch {
    std::wstring caption;
    HWND found;
};

BOOL CALLBACK FindButton(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<ButtonSearch*>(data);
    wchar_t text[64] = {};
    ::GetWindowTextW(window, text, 64);
    // The caption without its mnemonic marker ("&Merge All").
    std::wstring caption;
    for (const wchar_t* c = text; *c != L'\0'; ++c)
        if (*c != L'&')
            caption += *c;
    if (search->caption == caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The batch buttons are enabled exactly while the list holds a row; a row is
// added only for a file that exists, so the name must have arrived intact.
// (Another process cannot read the rows themselves here: the list is drawn
// by the toolkit, and Wine hands no accessible object across processes.)
bool ListHoldsARow(HWND window)
{
    ButtonSearch merge{L"Merge All", nullptr};
    ::EnumChildWindows(window, FindButton, reinterpret_cast<LPARAM>(&merge));
    return merge.found != nullptr && ::IsWindowEnabled(merge.found);
}

TEST(WindowSmokeTest, AFileWithAWideNameGivenWithAddEntersTheList)
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
    const bool shown = test::WaitUntil([&] {
        search.found = nullptr;
        ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr && ListHoldsARow(search.found);
    }, 90s);
    if (search.found != nullptr)
        ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(info.hProcess, 1);
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hProcess);

    ASSERT_NE(search.found, nullptr) << "no visible window titled Pagewright";
    EXPECT_TRUE(shown) << "the file was not added to the list";
    EXPECT_EQ(code, 0u) << "the program did not end cleanly after WM_CLOSE";
}

}  // namespace
}  // namespace pw
