// The desktop's folder chooser opens in a folder, never on its list of
// recent files, and gives back only a folder that exists.

#include "settings/DialogSettings.h"
#include "settings/SettingsFiles.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/ExpectMessageBox.h"
#include "ui/ChooseFolder.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>
#include <wx/testing.h>
#include <wx/utils.h>

#include <sys/stat.h>

namespace pw {
namespace {

TEST(ChooseFolder, StartsInTheRememberedFolderOrElseTheHomeFolder) {
    test::TempFolder remembered;
    const std::string home = PathFromWx(wxGetHomeDir());
    ASSERT_FALSE(home.empty());
    EXPECT_EQ(FolderChooserStart(remembered.path()), remembered.path());
    EXPECT_EQ(FolderChooserStart(""), home);
    EXPECT_EQ(FolderChooserStart(remembered / "gone"), home);
    EXPECT_EQ(FolderChooserStart(remembered / "not a folder.tif"), home);
}

TEST(ChooseFolder, ATypedPathThatIsNoFolderIsToldAndNeitherReturnedNorRemembered) {
    test::TempFolder config, folder;
    test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    ASSERT_TRUE(test::WriteTiff(folder / "a.tif", 1));
    std::vector<std::string> answers = {folder / "typed", folder / "a.tif", folder.path()};
    size_t asked = 0;
    SetFolderDialogRunner([&](wxWindow*, const std::string&) { return std::optional<std::string>(answers[asked++]); });
    wxString first, second;
    wxTEST_DIALOG(EXPECT_EQ(ChooseFolder(nullptr), folder.path()), test::ExpectMessageBox(&first),
                  test::ExpectMessageBox(&second));
    EXPECT_EQ(asked, 3u);
    EXPECT_NE(first.find(PathToWx(folder / "typed")), wxString::npos) << first;
    EXPECT_NE(second.find(PathToWx(folder / "a.tif")), wxString::npos) << second;
    EXPECT_EQ(ReadOpenFolder(), folder.path());

    // A cancel after a refused path returns nothing and remembers nothing.
    answers = {folder / "gone"};
    asked = 0;
    SetFolderDialogRunner([&](wxWindow*, const std::string&) {
        return asked++ == 0 ? std::optional<std::string>(answers[0]) : std::nullopt;
    });
    WriteOpenFolder("");
    wxTEST_DIALOG(EXPECT_EQ(ChooseFolder(nullptr), ""), test::ExpectMessageBox(&first));
    EXPECT_EQ(ReadOpenFolder(), "");
    SetFolderDialogRunner(nullptr);
}

TEST(ChooseFolder, TheRememberedFolderIsStoredOnlyWhenItChanges) {
    test::TempFolder config, first, second;
    test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    const auto stored = [] {
        struct stat st {};
        return ::stat(GetAppProfilePath().c_str(), &st) == 0 ? st.st_ino : ino_t{0};
    };
    std::string answer = first.path();
    SetFolderDialogRunner([&](wxWindow*, const std::string&) { return std::optional<std::string>(answer); });
    EXPECT_EQ(ChooseFolder(nullptr), first.path());
    EXPECT_EQ(ReadOpenFolder(), first.path());
    const ino_t once = stored();
    ASSERT_NE(once, ino_t{0});
    // The file is replaced whole when stored: the same file means no write.
    EXPECT_EQ(ChooseFolder(nullptr), first.path());
    EXPECT_EQ(stored(), once);
    answer = second.path();
    EXPECT_EQ(ChooseFolder(nullptr), second.path());
    EXPECT_EQ(ReadOpenFolder(), second.path());
    EXPECT_NE(stored(), once);
    SetFolderDialogRunner(nullptr);
}

}  // namespace
}  // namespace pw
