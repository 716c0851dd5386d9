// The TIFF Information report: shown whole, line for line, for TIFF and
// other files; refused when the file or the tool is missing; the text
// follows the dialog's size.

#include "dialogs/CTiffInfoDlg.h"
#include "ui/AccessibleName.h"
#include "engine/ToolInvocations.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace pw {
namespace {

using test::DialogScript;

class TiffInformation : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramArguments(0, nullptr);
        dlg->SetStartupHooks({[](wxWindow*, const char*, const char*, unsigned) { return 1; }, [](int) {}});
        ASSERT_TRUE(dlg->OnInitDialog());
    }
    // ShowTiffInformation on path, with the text of the dialog it showed;
    // no dialog is expected when expectDialog is false.
    bool Show(const std::string& path, bool expectDialog, std::string* shown = nullptr) {
        DialogScript script;
        if (expectDialog)
            script.Expect<CTiffInfoDlg>([&](CTiffInfoDlg* d) {
                EXPECT_EQ(d->GetTitle(), "TIFF Information");
                wxTextCtrl* text = d->GetReportText();
                EXPECT_FALSE(text->IsEditable());
                EXPECT_TRUE(text->IsMultiLine());
                EXPECT_EQ(GetAccessibleName(text), "TIFF structure");
                const std::string report = PathFromWx(text->GetValue());
                // One line of the text per line of the report, and the
                // empty one after the last line end.
                EXPECT_EQ(text->GetNumberOfLines(), std::count(report.begin(), report.end(), '\n') + 1);
                if (shown)
                    *shown = report;
                return wxID_OK;
            });
        return dlg->ShowTiffInformation(path);
    }

    test::TempFolder files;
    test::ProgramFolder program;
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{new CMainDlg(nullptr), [](CMainDlg* d) { d->Destroy(); }};
};

TEST_F(TiffInformation, ShowsTheWholeReportOfAFileOfSeveralPages) {
    const std::string path = files / "five.tif";
    ASSERT_TRUE(test::WriteTiff(path, 5));
    std::string shown;
    ASSERT_TRUE(Show(path, true, &shown));
    EXPECT_EQ(shown, RunTiffInfo(path));
    for (const char* directory : {"TIFF directory 0", "TIFF directory 4"})
        EXPECT_NE(shown.find(directory), std::string::npos) << directory;
}

TEST_F(TiffInformation, ShowsTheToolsComplaintAboutAFileThatIsNoTiff) {
    const std::string path = files / "notes.tif";
    ASSERT_TRUE(test::WriteNonTiff(path));
    std::string shown;
    ASSERT_TRUE(Show(path, true, &shown));
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(shown, RunTiffInfo(path));
}

TEST_F(TiffInformation, AMissingFileOrToolShowsNoDialog) {
    EXPECT_FALSE(Show(files / "missing.tif", false));
    const std::string path = files / "one.tif";
    ASSERT_TRUE(test::WriteTiff(path, 1));
    program.RemoveTool("tiffinfo");
    EXPECT_FALSE(Show(path, false));
}

TEST_F(TiffInformation, TheTextFillsTheDialogAtEverySize) {
    CTiffInfoDlg info(dlg.get());
    info.SetReport("line 1\nline 2\r\nline 3\n");
    info.Show();
    wxTextCtrl* text = info.GetReportText();
    EXPECT_EQ(text->GetNumberOfLines(), 4);
    auto fills = [&] { return text->GetRect() == wxRect(info.GetClientSize()); };
    EXPECT_TRUE(test::WaitFor(fills));
    // Opened larger than the template, by a fifth of it on each side.
    const wxSize initial = info.GetLayoutManager().GetInitialClientSize();
    EXPECT_GT(info.GetClientSize().x, initial.x);
    info.SetSize(info.GetSize() + wxSize(150, 90));
    EXPECT_TRUE(test::WaitFor([&] { return fills() && info.GetClientSize().x > initial.x + 150; }));
    // Escape closes it, though it has no Cancel button.
    wxKeyEvent escape(wxEVT_CHAR_HOOK);
    escape.m_keyCode = WXK_ESCAPE;
    info.ProcessWindowEvent(escape);
    EXPECT_FALSE(info.IsShown());
}

}  // namespace
}  // namespace pw
