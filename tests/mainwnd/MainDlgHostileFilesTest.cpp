// The window with files in its list that once ended it or held gigabytes
// while the preview decoded them: each row selected in turn, the window
// stays up and shows the page or its message.

#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "tests/fixtures/HostileTiffs.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"
#include "viewer/CFoliocx.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(MainDlgHostileFiles, EachSelectedFileIsShownOrExplainedAndTheWindowStays) {
    test::TempFolder folder;
    const std::vector<test::HostileTiff> files = test::HostileTiffs();
    std::vector<std::string> paths;
    for (const test::HostileTiff& h : files) {
        paths.push_back(folder / (h.name + ".tif"));
        ASSERT_TRUE(test::WriteBytes(paths.back(), h.bytes));
    }
    const char* argv[] = {"pagewright"};
    SetProgramArguments(1, argv);
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg(new CMainDlg(nullptr), [](CMainDlg* d) { d->Destroy(); });
    dlg->Show();
    dlg->AddFiles(paths);
    ASSERT_EQ(dlg->GetFileList()->GetItemCount(), static_cast<int>(files.size()));
    CFoliocx* viewer = dlg->GetViewer();
    for (size_t i = 0; i < files.size(); ++i) {
        dlg->DeselectAll();
        dlg->GetFileList()->SelectItem(static_cast<long>(i));
        if (files[i].slow) {
            // Decoded for a long time: the next row's selection cancels it.
            ASSERT_TRUE(test::WaitFor([&] { return viewer->GetCurrentFile() == paths[i]; }, 20000)) << files[i].name;
            EXPECT_TRUE(dlg->IsShown());
            continue;
        }
        // The preview timer picks the row up within a second.
        ASSERT_TRUE(test::WaitFor(
            [&] {
                return viewer->GetCurrentFile() == paths[i] && viewer->GetState() != CFoliocx::State::Loading;
            },
            20000))
            << files[i].name;
        if (files[i].showable) {
            EXPECT_EQ(viewer->GetState(), CFoliocx::State::Shown) << files[i].name << ": " << viewer->GetMessage();
        } else {
            EXPECT_EQ(viewer->GetState(), CFoliocx::State::Failed) << files[i].name;
            EXPECT_TRUE(viewer->GetMessage().Contains("cannot be shown")) << files[i].name;
        }
        EXPECT_TRUE(dlg->IsShown());
    }
    SetProgramArguments(0, nullptr);
}

}  // namespace
}  // namespace pw
