// The installer as a user or a deployment tool runs it: silently into a
// folder of its own; the installed programs run from there; the verb
// "Open with Pagewright" is registered; the silent uninstall leaves no file
// and no key behind, the settings of the user who uninstalls included.
// Runs under Wine on a display.

#include "platform/WideText_win32.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/windows/WindowDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

namespace pw {
namespace {

using namespace std::chrono_literals;

DWORD RunAndWait(std::wstring commandLine, DWORD timeoutMs = 120000) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return DWORD(-1);
    ::CloseHandle(info.hThread);
    DWORD code = DWORD(-2);
    if (::WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(info.hProcess, &code);
    else
        ::TerminateProcess(info.hProcess, 1);
    ::CloseHandle(info.hProcess);
    return code;
}

std::optional<std::wstring> KeyDefault(const wchar_t* key, HKEY root = HKEY_LOCAL_MACHINE) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    const LONG read = ::RegQueryValueExW(handle, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(handle);
    return read == ERROR_SUCCESS ? std::optional<std::wstring>(value) : std::optional<std::wstring>(L"");
}

bool KeyExists(const wchar_t* key, HKEY root = HKEY_LOCAL_MACHINE) { return KeyDefault(key, root).has_value(); }

// A file made through the wide API, so that any name is reached.
bool WriteText(const std::wstring& path, const char* text) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == std::strlen(text);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(InstallerTest, InstallsRunsAndUninstallsWithoutATrace) {
    test::TempFolder folder;
    const std::wstring dir = test::WindowsPath(folder / "Programme Größe");
    // /D= comes last and unquoted, as the installer reads it.
    ASSERT_EQ(RunAndWait(L"\"" + test::WindowsPath(PAGEWRIGHT_SETUP) + L"\" /S /D=" + dir), 0u);
    for (const wchar_t* name : {L"pagewright.exe", L"pagewright-batch.exe", L"tiffcp.exe", L"tiffinfo.exe",
                                L"tiffsplit.exe", L"uninstall.exe"})
        EXPECT_TRUE(Exists(dir + L"\\" + name)) << Narrow(name);
    for (const wchar_t* ext : {L".tif", L".tiff"}) {
        const std::wstring verb = std::wstring(L"Software\\Classes\\SystemFileAssociations\\") + ext +
                                  L"\\shell\\Pagewright";
        EXPECT_EQ(KeyDefault(verb.c_str()), std::wstring(L"Open with Pagewright"));
        const auto command = KeyDefault((verb + L"\\command").c_str());
        ASSERT_TRUE(command.has_value());
        EXPECT_EQ(*command, L"\"" + dir + L"\\pagewright.exe\" -open \"%1\"");
    }

    // The installed programs, from the install folder.
    const std::string first = folder / "Seite 1.tif";
    const std::string second = folder / "頁 2.tif";
    ASSERT_TRUE(test::WriteTiff(first, 2));
    ASSERT_TRUE(test::WriteTiff(second, 1));
    const std::string merged = folder / "zusammen.tif";
    EXPECT_EQ(RunAndWait(L"\"" + dir + L"\\pagewright-batch.exe\" merge --out \"" + Widen(merged) + L"\" \"" +
                  Widen(first) + L"\" \"" + Widen(second) + L"\""),
              0u);
    EXPECT_EQ(test::CountDirectories(merged), 3);
    {
        test::WindowDriver window;
        ASSERT_TRUE(window.Start(Narrow(dir) + "\\pagewright.exe", L"-add \"" + Widen(first) + L"\""));
        EXPECT_TRUE(test::WaitUntil([&] { return window.ControlEnabled(IDC_MERGEALL); }, 30s)) << "-add made no row";
        EXPECT_EQ(window.Close(), DWORD(0));
    }

    // What the program keeps for its user: the window's place, written as it
    // closed; the settings beside the program (its folder is writable) as
    // the Options dialog saves them; the profile in the user's folder.
    ASSERT_TRUE(KeyExists(L"Software\\Pagewright", HKEY_CURRENT_USER)) << "the window kept no place";
    ASSERT_TRUE(WriteText(dir + L"\\Pagewright.ini", "[Pagewright]\r\nName=%s-%d\r\n"));
    wchar_t appData[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH), 0u);
    const std::wstring userFolder = std::wstring(appData) + L"\\Pagewright";
    ::CreateDirectoryW(userFolder.c_str(), nullptr);
    ASSERT_TRUE(WriteText(userFolder + L"\\pagewright.INI", "[PageRangeDlg]\r\nRange=1-2\r\n"));

    // The uninstaller copies itself away and runs from there: its work is
    // done once its own key, which it removes last, is gone.
    const wchar_t* uninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pagewright";
    ASSERT_EQ(RunAndWait(L"\"" + dir + L"\\uninstall.exe\" /S"), 0u);
    EXPECT_TRUE(test::WaitUntil([&] { return !KeyExists(uninstallKey); }, 120s)) << "the uninstaller did not finish";
    EXPECT_FALSE(Exists(dir)) << "the install folder is left";
    EXPECT_FALSE(Exists(userFolder)) << "the user's settings are left";
    EXPECT_FALSE(KeyExists(L"Software\\Pagewright", HKEY_CURRENT_USER)) << "the window's place is left";
    EXPECT_FALSE(KeyExists(L"Software\\Classes\\SystemFileAssociations\\.tif\\shell\\Pagewright"));
    EXPECT_FALSE(KeyExists(L"Software\\Classes\\SystemFileAssociations\\.tiff\\shell\\Pagewright"));
    EXPECT_FALSE(KeyExists(L"Software\\Classes\\Applications\\pagewright.exe"));
    EXPECT_FALSE(KeyExists(L"Software\\Pagewright"));
}

}  // namespace
}  // namespace pw
