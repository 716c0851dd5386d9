// The Extract button and its dialog on a real display, answered by the
// test: names and pages of the files written, the refusals, and what the
// dialog remembers.

#include "dialogs/CPageRangeDlg.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "pages/TiffPages.h"
#include "res/ResourceIds.h"
#include "settings/Profile.h"
#include "settings/SettingsFiles.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/AppMessageBox.h"
#include "ui/ChooseFolder.h"
#include "ui/OpenInFileManager.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>

namespace pw {
namespace {

using test::DialogScript;
using test::TempFolder;

void SetText(wxDialog* dlg, int id, const std::string& text) {
    wxDynamicCast(dlg->FindWindow(id), wxTextCtrl)->ChangeValue(PathToWx(text));
}
std::string Text(wxDialog* dlg, int id) {
    return PathFromWx(wxDynamicCast(dlg->FindWindow(id), wxTextCtrl)->GetValue());
}
bool Checked(wxDialog* dlg, int id) { return wxDynamicCast(dlg->FindWindow(id), wxRadioButton)->GetValue(); }
bool Enabled(wxDialog* dlg, int id) { return dlg->FindWindow(id)->IsEnabled(); }

void Press(wxWindow* window, int id) {
    wxWindow* control = window->FindWindow(id);
    ASSERT_NE(control, nullptr) << id;
    if (auto* radio = wxDynamicCast(control, wxRadioButton)) {
        radio->SetValue(true);
        wxCommandEvent event(wxEVT_RADIOBUTTON, id);
        event.SetEventObject(radio);
        radio->ProcessWindowEvent(event);
        return;
    }
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(control);
    control->ProcessWindowEvent(event);
}

// Presses OK and returns what the dialog ended with (0 while it stays open).
int PressOK(CPageRangeDlg* dlg) {
    dlg->SetReturnCode(0);
    Press(dlg, IDC_DIALOG_OK);
    return dlg->GetReturnCode();
}

class Extract : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramArguments(0, nullptr);
        dlg->SetStartupHooks({[](wxWindow*, const char*, const char*, unsigned) { return 1; }, [](int) {}});
        ASSERT_TRUE(dlg->OnInitDialog());
        SetFileManagerLauncher([this](const std::string& folder) {
            opened.push_back(folder);
            return true;
        });
        SetFolderDialogRunner([this](wxWindow*, const std::string& initial) -> std::optional<std::string> {
            browseStartedAt.push_back(initial);
            return browseAnswer;
        });
    }
    void TearDown() override {
        SetFileManagerLauncher(nullptr);
        SetFolderDialogRunner(nullptr);
    }

    // Writes a file of `pages` pages into the source folder, adds it to the
    // list and selects it.
    std::string AddSelected(const std::string& name, int pages) {
        const std::string path = sources / name;
        EXPECT_TRUE(test::WriteTiff(path, pages));
        const long row = dlg->AddFile(path);
        dlg->GetFileList()->SelectItem(row);
        return path;
    }
    void PressExtract() { Press(dlg.get(), IDC_EXTRACT); }
    std::string Profile() { return test::ReadBytes(GetAppProfilePath()); }

    // The file holds exactly the given pages of the source, in order.
    void ExpectPages(const std::string& file, const std::string& source, std::vector<int> pages) {
        ASSERT_EQ(GetTiffPageCount(file), static_cast<int>(pages.size())) << file;
        for (size_t i = 0; i < pages.size(); ++i)
            EXPECT_EQ(test::ReadPagePixels(file, static_cast<int>(i)), test::ReadPagePixels(source, pages[i] - 1))
                << file << " page " << i;
    }

    TempFolder config, home, sources, out;
    test::ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path()};
    test::ScopedEnvironment homeFolder{"HOME", home.path()};
    test::ProgramFolder program;
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{new CMainDlg(nullptr), [](CMainDlg* d) { d->Destroy(); }};
    std::vector<std::string> opened, browseStartedAt;
    std::optional<std::string> browseAnswer;
};

TEST_F(Extract, FromAboveToTakesOnlyTheFromPageAndTheRangeIsRemembered) {
    const std::string source = AddSelected("letter.tif", 25);
    DialogScript script;
    script.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
        // The first file's name and page count; the folder falls back to home.
        EXPECT_EQ(Text(d, IDC_PAGERANGE_FILENAME), source);
        EXPECT_EQ(wxDynamicCast(d->FindWindow(IDC_PAGERANGE_PAGECOUNT), wxStaticText)->GetLabel(), "25");
        EXPECT_NE(Text(d, IDC_PAGERANGE_INFO).find("TIFF Directory"), std::string::npos);
        EXPECT_EQ(Text(d, IDC_PAGERANGE_FOLDER), home.path());
        EXPECT_TRUE(Checked(d, IDC_PAGERANGE_MODERANGE));
        EXPECT_FALSE(Enabled(d, IDC_PAGERANGE_LIST));
        SetText(d, IDC_PAGERANGE_FROM, "20");
        SetText(d, IDC_PAGERANGE_TO, "10");
        SetText(d, IDC_PAGERANGE_FOLDER, out.path());
        return PressOK(d);
    });
    script.ExpectBox(IDYES);
    PressExtract();
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Finished the extraction. Would you like to open the output folder?\n\n" + out.path());
    EXPECT_EQ(script.boxes[0].style & 0xF, MB_YESNO);
    EXPECT_EQ(script.boxes[0].style & 0xF0, MB_ICONQUESTION);
    EXPECT_FALSE(script.boxes[0].busy);
    EXPECT_EQ(opened, std::vector<std::string>{out.path()});
    ExpectPages(out / "letter-20-10.tif", source, {20});
    EXPECT_EQ(Profile(), "[PageRangeDlg]\nSplitOption=0\nstrAnyPageRange=\nnPageFrom=20\nnPageTo=10\n");
}

TEST_F(Extract, PageListOverSeveralFilesNamesEachOutputAfterItsSource) {
    const std::string a = AddSelected("a.tif", 3), b = AddSelected("b b.tif", 4), c = AddSelected("c.TIFF", 5);
    DialogScript script;
    script.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
        Press(d, IDC_PAGERANGE_MODELIST);
        EXPECT_TRUE(Enabled(d, IDC_PAGERANGE_LIST));
        EXPECT_FALSE(Enabled(d, IDC_PAGERANGE_FROM));
        EXPECT_FALSE(Enabled(d, IDC_PAGERANGE_TOLABEL));
        SetText(d, IDC_PAGERANGE_LIST, "even");
        SetText(d, IDC_PAGERANGE_FOLDER, out.path() + "/");
        return PressOK(d);
    });
    script.ExpectBox(IDNO);
    PressExtract();
    EXPECT_TRUE(opened.empty());
    ExpectPages(out / "a-even.tif", a, {2});
    ExpectPages(out / "b b-even.tif", b, {2, 4});
    ExpectPages(out / "c-even.TIFF", c, {2, 4});

    // The next time the list mode and its text come back; blanks stay in
    // the range given to the pages and leave the name.
    DialogScript again;
    again.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
        EXPECT_TRUE(Checked(d, IDC_PAGERANGE_MODELIST));
        EXPECT_FALSE(Checked(d, IDC_PAGERANGE_MODERANGE));
        EXPECT_EQ(Text(d, IDC_PAGERANGE_LIST), "even");
        SetText(d, IDC_PAGERANGE_LIST, " 1 - 3 ");
        SetText(d, IDC_PAGERANGE_FOLDER, out.path());
        return PressOK(d);
    });
    again.ExpectBox(IDNO);
    PressExtract();
    ExpectPages(out / "c-1-3.TIFF", c, {1, 2, 3});
    ExpectPages(out / "a-1-3.tif", a, {1, 2, 3});
}

// A range beyond the last page, a folder that is not there, a list that
// names no page of either file: nothing is written, and the box says so
// for each file instead of offering to open the folder.
TEST_F(Extract, WhenNothingIsWrittenEachFileIsNamedWithItsReason) {
    const std::string a = AddSelected("a.tif", 2), b = AddSelected("b.tif", 1);
    struct Case {
        bool list;
        std::string from, to, pages, folder;
    };
    const Case cases[] = {
        {false, "5", "9", "", out.path()},
        {false, "1", "2", "", out / "missing"},
        {true, "1", "1", "3-", out.path()},
    };
    for (const Case& c : cases) {
        DialogScript script;
        script.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
            Press(d, c.list ? IDC_PAGERANGE_MODELIST : IDC_PAGERANGE_MODERANGE);
            SetText(d, IDC_PAGERANGE_FROM, c.from);
            SetText(d, IDC_PAGERANGE_TO, c.to);
            SetText(d, IDC_PAGERANGE_LIST, c.pages);
            SetText(d, IDC_PAGERANGE_FOLDER, c.folder);
            return PressOK(d);
        });
        script.ExpectBox(IDOK);
        PressExtract();
        ASSERT_EQ(script.boxes.size(), 1u) << c.folder;
        const std::string& text = script.boxes[0].text;
        EXPECT_EQ(text.rfind("No file has been extracted:\n", 0), 0u) << text;
        EXPECT_NE(text.find("\n" + a + ": "), std::string::npos) << text;
        EXPECT_NE(text.find("\n" + b + ": "), std::string::npos) << text;
        EXPECT_EQ(script.boxes[0].style & 0xF0, MB_ICONERROR);
        EXPECT_TRUE(opened.empty());
        EXPECT_TRUE(std::filesystem::is_empty(out.path()));
    }
}

TEST_F(Extract, RefusalsKeepTheDialogOpenAndCancelWritesNothing) {
    AddSelected("a.tif", 2);
    DialogScript script;
    script.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
        const std::pair<std::string, std::string> fromTo[] = {
            {"abc", "5"}, {"0", "5"}, {"1", "100000"}, {"1", "7x"}, {"99999999999", "1"}};
        for (const auto& [from, to] : fromTo) {
            SetText(d, IDC_PAGERANGE_FROM, from);
            SetText(d, IDC_PAGERANGE_TO, to);
            EXPECT_EQ(PressOK(d), 0) << from << " " << to;
        }
        // A refused number was taken in: Browse shows it again.
        SetText(d, IDC_PAGERANGE_FROM, " 3 ");
        SetText(d, IDC_PAGERANGE_TO, "4");
        Press(d, IDC_PAGERANGE_MODELIST);
        SetText(d, IDC_PAGERANGE_LIST, "");
        EXPECT_EQ(PressOK(d), 0);
        SetText(d, IDC_PAGERANGE_LIST, "1");
        SetText(d, IDC_PAGERANGE_FOLDER, "");
        EXPECT_EQ(PressOK(d), 0);
        return wxID_CANCEL;
    });
    for (int i = 0; i < 7; ++i)
        script.ExpectBox(IDOK);
    PressExtract();
    const std::vector<std::string> expected = {
        "Please enter an integer.",
        "Please enter an integer between 1 and 99999.",
        "Please enter an integer between 1 and 99999.",
        "Please enter an integer.",
        "Please enter an integer between 1 and 99999.",
        "Please input a valid page range.",
        "Please select a valid output folder.",
    };
    ASSERT_EQ(script.boxes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(script.boxes[i].text, expected[i]);
        EXPECT_EQ(script.boxes[i].caption, AppMessageBoxCaption().utf8_string());
        EXPECT_EQ(script.boxes[i].style & 0xF0, i < 5 ? MB_ICONWARNING : MB_ICONERROR) << i;
    }
    EXPECT_FALSE(std::filesystem::exists(GetAppProfilePath()));
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
}

TEST_F(Extract, BrowseRestoresStoredValuesAndOnlyABrowsedFolderIsRemembered) {
    const std::string source = AddSelected("a.tif", 3);
    TempFolder browsed, typed;
    browseAnswer = browsed.path();
    DialogScript script;
    script.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
        SetText(d, IDC_PAGERANGE_FROM, "2");
        Press(d, IDC_PAGERANGE_MODELIST);
        SetText(d, IDC_PAGERANGE_LIST, "odd");
        Press(d, IDC_PAGERANGE_BROWSE);
        // Every field shows the dialog's value again, the range mode stays.
        EXPECT_EQ(Text(d, IDC_PAGERANGE_FOLDER), browsed.path());
        EXPECT_EQ(Text(d, IDC_PAGERANGE_FROM), "1");
        EXPECT_EQ(Text(d, IDC_PAGERANGE_LIST), "");
        EXPECT_TRUE(Checked(d, IDC_PAGERANGE_MODELIST));
        SetText(d, IDC_PAGERANGE_LIST, "2-");
        SetText(d, IDC_PAGERANGE_FOLDER, typed.path());
        return PressOK(d);
    });
    script.ExpectBox(IDNO);
    PressExtract();
    EXPECT_EQ(browseStartedAt, std::vector<std::string>{""});
    ExpectPages(typed / "a-2-.tif", source, {2, 3});

    DialogScript again;
    again.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
        EXPECT_EQ(Text(d, IDC_PAGERANGE_FOLDER), browsed.path());
        return wxID_CANCEL;
    });
    PressExtract();
}

TEST_F(Extract, AStoredModeOtherThanZeroOrOneChecksNeitherButtonAndExtractsNothing) {
    AddSelected("a.tif", 2);
    ASSERT_TRUE(WriteAppProfileInt("PageRangeDlg", "SplitOption", 7));
    DialogScript script;
    script.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
        EXPECT_FALSE(Checked(d, IDC_PAGERANGE_MODERANGE));
        EXPECT_FALSE(Checked(d, IDC_PAGERANGE_MODELIST));
        for (int id : {IDC_PAGERANGE_FROM, IDC_PAGERANGE_TO, IDC_PAGERANGE_LIST})
            EXPECT_FALSE(Enabled(d, id)) << id;
        SetText(d, IDC_PAGERANGE_FOLDER, out.path());
        return PressOK(d);
    });
    script.ExpectBox(IDOK);
    PressExtract();
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Please select or input a valid page range.");
    EXPECT_NE(Profile().find("SplitOption=7\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
}

// Extracting into the sources' own folder: "a-1.tif" is itself selected, so
// the first extraction would overwrite a file the second still has to read.
TEST_F(Extract, AnOutputThatIsAnotherSelectedFileIsRefusedBeforeAnythingIsWritten) {
    const std::string a = AddSelected("a.tif", 2);
    const std::string a1 = AddSelected("a-1.tif", 3);
    const std::string before = test::ReadBytes(a1);
    DialogScript script;
    script.Expect<CPageRangeDlg>([&](CPageRangeDlg* d) {
        Press(d, IDC_PAGERANGE_MODELIST);
        SetText(d, IDC_PAGERANGE_LIST, "1");
        SetText(d, IDC_PAGERANGE_FOLDER, sources.path());
        return PressOK(d);
    });
    script.ExpectBox(IDOK);
    PressExtract();
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].style & 0xF0, MB_ICONERROR);
    EXPECT_NE(script.boxes[0].text.find("a-1.tif"), std::string::npos) << script.boxes[0].text;
    EXPECT_EQ(test::ReadBytes(a1), before);
    EXPECT_FALSE(std::filesystem::exists(sources / "a-1-1.tif"));
}

TEST_F(Extract, NothingSelectedIsRefusedBeforeAnyDialog) {
    ASSERT_TRUE(test::WriteTiff(sources / "a.tif", 1));
    dlg->AddFile(sources / "a.tif");
    DialogScript script;
    script.ExpectBox(IDOK);
    PressExtract();
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, "Please select some TIFF files first, and click this button to try again.");
    EXPECT_EQ(script.boxes[0].style & 0xF0, MB_ICONERROR);
}

}  // namespace
}  // namespace pw
