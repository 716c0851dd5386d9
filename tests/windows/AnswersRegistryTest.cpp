// The remembered answers of message boxes live in the registry on Windows,
// under HKEY_CURRENT_USER\Software\<company>\<program file>\XMessageBox.

#include <gtest/gtest.h>

#include <windows.h>

#include <wx/app.h>
#include <wx/init.h>

#include <string>

#include "platform/WideText_win32.h"
#include "ui/XMessageBoxAnswers.h"

namespace pw {
namespace {

constexpr char kApp[] = "pagewright-answers-test";
constexpr char kCompany[] = "Pagewright Test Co";

TEST(WindowsAnswers, ARememberedAnswerIsARegistryValueReadBackFromThere)
{
    wxInitializer toolkit;
    ASSERT_TRUE(toolkit.IsOk());
    wxTheApp->SetAppName(kApp);
    UseDesktopConfigurationFile(kApp);

    WriteXmbAnswer(kCompany, "Replace the file?", 3, IDYES);
    EXPECT_EQ(ReadXmbAnswer(kCompany, "Replace the file?", 3), static_cast<std::uint32_t>(IDYES));
    EXPECT_EQ(ReadXmbAnswer(kCompany, "Replace the file?", 4), 0u) << "another key number has no answer";

    const std::wstring key = Widen(std::string("Software\\") + kCompany + "\\windows_answers_test.exe\\XMessageBox");
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), Widen(XmbAnswerValueName("Replace the file?", 3)).c_str(),
                             RRF_RT_REG_DWORD, nullptr, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, static_cast<DWORD>(IDYES));

    // The time-out bit survives the round trip; nothing goes under a key of
    // the toolkit's own naming.
    WriteXmbAnswer(kCompany, "Later", 9, 0x80000000u | IDNO);
    EXPECT_EQ(ReadXmbAnswer(kCompany, "Later", 9), 0x80000000u | IDNO);
    HKEY toolkitKey = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(std::string("Software\\") + kApp).c_str(), 0, KEY_READ,
                              &toolkitKey),
              ERROR_SUCCESS);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Widen(std::string("Software\\") + kCompany).c_str());
}

}  // namespace
}  // namespace pw
