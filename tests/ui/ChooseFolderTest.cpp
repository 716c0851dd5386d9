// The desktop's folder chooser opens in a folder, never on its list of
// recent files.

#include "tests/fixtures/TiffFixtures.h"
#include "ui/ChooseFolder.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>
#include <wx/utils.h>

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

}  // namespace
}  // namespace pw
