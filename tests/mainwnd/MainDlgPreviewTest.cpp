// The main window's side of the preview: the once-a-second timer that
// follows the first selected row, and the trim of the viewer's toolbar.

#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"
#include "viewer/CFoliocx.h"

#include <gtest/gtest.h>
#include <wx/stopwatch.h>

#include <memory>

namespace pw {
namespace {

struct PreviewWindow {
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{nullptr, [](CMainDlg* d) { d->Destroy(); }};
    PreviewWindow() {
        const char* argv[] = {"pagewright"};
        SetProgramArguments(1, argv);
        dlg.reset(new CMainDlg(nullptr));
        dlg->Show();
    }
    ~PreviewWindow() { SetProgramArguments(0, nullptr); }
    CFoliocx* viewer() { return dlg->GetViewer(); }
    // Lets the real timer run for the time given.
    void RunFor(int ms) {
        wxStopWatch watch;
        test::WaitFor([&] { return watch.Time() >= ms; }, ms + 1000);
    }
};

TEST(MainDlgPreview, TheTimerOpensTheFirstSelectedFileOnceAndNothingWithoutASelection) {
    test::TempFolder folder;
    const std::string first = folder / "first.tif", second = folder / "Second.TIF";
    ASSERT_TRUE(test::WriteTiff(first, 1));
    ASSERT_TRUE(test::WriteTiff(second, 2));
    PreviewWindow w;
    ASSERT_TRUE(w.dlg->GetPreviewTimer().IsRunning());
    EXPECT_EQ(w.dlg->GetPreviewTimer().GetInterval(), 1000);
    w.dlg->AddFile(first);
    w.dlg->AddFile(second);
    w.RunFor(2200);
    EXPECT_EQ(w.viewer()->GetDecodeCount(), 0);  // no row selected: the viewer is not called
    EXPECT_EQ(w.viewer()->GetCurrentFile(), "");

    w.dlg->GetFileList()->SelectItem(1);
    w.dlg->GetFileList()->SelectItem(0);
    w.RunFor(2200);
    EXPECT_EQ(w.viewer()->GetDecodeCount(), 1);  // two periods, one OpenFile
    EXPECT_EQ(w.viewer()->GetCurrentFile(), first);  // the lowest selected row

    w.dlg->DeselectAll();
    w.dlg->GetFileList()->SelectItem(1);
    ASSERT_TRUE(test::WaitFor([&] { return w.viewer()->GetCurrentFile() == second; }, 3000));
    ASSERT_TRUE(test::WaitFor([&] { return w.viewer()->GetState() == CFoliocx::State::Shown; }, 5000));
    EXPECT_EQ(w.viewer()->GetPageCount(), 2);

    // Emptying the selection leaves the last file in the viewer.
    w.dlg->DeselectAll();
    w.RunFor(1200);
    EXPECT_EQ(w.viewer()->GetCurrentFile(), second);
    EXPECT_EQ(w.viewer()->GetDecodeCount(), 2);
}

TEST(MainDlgPreview, AFileThatCannotBeShownIsNotAskedForAgainAndAgain) {
    test::TempFolder folder;
    const std::string text = folder / "notes.tif";
    ASSERT_TRUE(test::WriteNonTiff(text));
    PreviewWindow w;
    w.dlg->AddFile(text);
    w.dlg->GetFileList()->SelectItem(0);
    w.RunFor(3200);
    EXPECT_EQ(w.viewer()->GetCurrentFile(), text);
    EXPECT_EQ(w.viewer()->GetDecodeCount(), 1);
    EXPECT_EQ(w.viewer()->GetState(), CFoliocx::State::Failed);
}

// Puts n tools numbered 0 to n-1 on the viewer's toolbar, trims it and
// returns the numbers left, in order.
std::vector<int> TrimmedTools(CMainDlg* dlg, int n) {
    wxToolBar* bar = dlg->GetViewer()->GetToolbarWindow();
    bar->ClearTools();
    for (int i = 0; i < n; ++i)
        bar->AddTool(i + 1, wxString::Format("tool %d", i), wxBitmap(16, 16));
    bar->Realize();
    dlg->TrimPreviewToolbar();
    std::vector<int> left;
    for (size_t i = 0; i < bar->GetToolsCount(); ++i)
        left.push_back(bar->GetToolByPos(static_cast<int>(i))->GetId() - 1);
    return left;
}

TEST(MainDlgPreview, TheTrimKeepsTheToolsThatWereAtTwoToFifteen) {
    PreviewWindow w;  // shown, so initialised
    // The viewer's own toolbar, trimmed at start-up: first page to rotate right.
    wxToolBar* bar = w.viewer()->GetToolbarWindow();
    ASSERT_EQ(bar->GetToolsCount(), 14u);
    EXPECT_EQ(bar->GetToolByPos(0)->GetShortHelp(), "First page (Ctrl+Home)");

    std::vector<int> want;
    for (int i = 2; i <= 15; ++i)
        want.push_back(i);
    EXPECT_EQ(TrimmedTools(w.dlg.get(), 20), want);
    EXPECT_EQ(TrimmedTools(w.dlg.get(), 10), std::vector<int>({2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(TrimmedTools(w.dlg.get(), 1), std::vector<int>());
}

}  // namespace
}  // namespace pw
