// The main window as a screen reader finds it, through the desktop's
// accessibility bus: the list's cells, their names and descriptions, and
// what has the focus.

#include "dialogs/COptionsDlg.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <future>
#include <memory>
#include <string>

namespace pw {
namespace {

// The screen reader's view of this program, read while the program goes on
// handling its events (it answers the reader's questions).
std::string ScreenReaderView() {
    auto reading = std::async(std::launch::async, [] {
        std::string text;
        const std::string command = std::string(PAGEWRIGHT_SCREEN_READER) + " " + std::to_string(::getpid());
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            while (std::fgets(buffer, sizeof buffer, pipe))
                text += buffer;
            ::pclose(pipe);
        }
        return text;
    });
    test::WaitFor([&] { return reading.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 60000);
    return reading.get();
}

bool Has(const std::string& view, const std::string& line) { return view.find(line) != std::string::npos; }

struct ShownWindow {
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{nullptr, [](CMainDlg* d) { d->Destroy(); }};
    ShownWindow() {
        SetProgramArguments(0, nullptr);
        dlg.reset(new CMainDlg(nullptr));
        dlg->Show();
        test::WaitFor([&] { return dlg->IsShownOnScreen(); }, 5000);
        test::Pump();
    }
    CFileListCtrl* list() { return dlg->GetFileList(); }
};

TEST(ScreenReader, ReadsTheStatusOfEveryRow) {
    ShownWindow w;
    w.dlg->AddFile("/tmp/a.tif");
    w.dlg->AddFile("/tmp/b.tif");
    // The reader has met the rows before their batch.
    ASSERT_TRUE(Has(ScreenReaderView(), "cell 1,3|"));
    w.list()->SetItem(0, 3, "Success");
    w.list()->SetItem(1, 3, "Failed");
    test::Pump();
    const std::string view = ScreenReaderView();
    EXPECT_TRUE(Has(view, "cell 0,3|Success|")) << view;
    EXPECT_TRUE(Has(view, "cell 1,3|Failed|")) << view;
}

// Rows moved with the keyboard: the reader finds the moved row, selected
// and focused, at its new place.
TEST(ScreenReader, HearsTheNewPlaceOfAMovedRow) {
    ShownWindow w;
    for (const char* path : {"/tmp/a.tif", "/tmp/b.tif", "/tmp/c.tif"})
        w.dlg->AddFile(path);
    w.list()->SetFocus();
    w.list()->SelectItem(0);
    w.list()->FocusItem(0);
    w.dlg->MoveSelectedRows(1);
    w.dlg->MoveSelectedRows(1);
    test::Pump();
    const std::string view = ScreenReaderView();
    EXPECT_TRUE(Has(view, "cell 2,0|||/tmp/a.tif|focused,selected")) << view;
    EXPECT_TRUE(Has(view, "cell 0,0|||/tmp/b.tif|\n")) << view;
}

TEST(ScreenReader, FindsTheFocusOnTheOptionsCompressionBox) {
    test::TempFolder config;
    test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    COptionsDlg options(nullptr);
    options.Show();
    ASSERT_TRUE(test::WaitFor([&] { return options.IsShownOnScreen(); }, 5000));
    options.FindWindow(IDC_OPTIONS_COMPRESSION)->SetFocus();
    test::WaitFor([] { return false; }, 300);
    // The focused object is the box's part that takes the keys, under the
    // box's name.
    const std::string view = ScreenReaderView();
    EXPECT_TRUE(Has(view, "|Compression Method||focused")) << view;
    EXPECT_FALSE(Has(view, "text|Name||focused")) << view;
    options.Hide();
}

}  // namespace
}  // namespace pw
