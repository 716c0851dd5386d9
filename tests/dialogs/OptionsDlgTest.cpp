// The Options dialog against the program settings file: what it shows for
// each stored value and what OK, Reset and Cancel leave in the file.

#include "dialogs/COptionsDlg.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "res/ResourceIds.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <memory>

namespace pw {
namespace {

using test::DialogScript;

class Options : public ::testing::Test {
protected:
    std::string File() const { return program.path() + "/Pagewright.ini"; }
    void Store(const std::string& text) { ASSERT_TRUE(test::WriteBytes(File(), text)); }

    // Opens the dialog, lets act work on it and returns how it ended.
    int Open(const std::function<int(COptionsDlg*)>& act) {
        COptionsDlg dialog(nullptr);
        DialogScript script;
        script.Expect<COptionsDlg>([&](COptionsDlg* d) {
            EXPECT_EQ(d->GetTitle(), "Setting");
            return act(d);
        });
        return dialog.ShowModal();
    }
    static int PressOK(COptionsDlg* d) {
        wxCommandEvent event(wxEVT_BUTTON, IDC_DIALOG_OK);
        d->FindWindow(IDC_DIALOG_OK)->ProcessWindowEvent(event);
        return d->GetReturnCode();
    }

    test::TempFolder config;
    test::ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path()};
    test::ProgramFolder program{false};
};

TEST_F(Options, FirstOpeningShowsTheDefaultsAndOKWritesThemInOrder) {
    Open([](COptionsDlg* d) {
        EXPECT_EQ(d->GetNameEdit()->GetValue(), "Demo1_");
        EXPECT_EQ(d->GetMethodList()->GetCount(), 6u);
        EXPECT_EQ(d->GetMethodList()->GetString(5), "g4");
        EXPECT_EQ(d->GetMethodList()->GetSelection(), 0);
        EXPECT_FALSE(d->GetUseCompressionBox()->GetValue());
        EXPECT_TRUE(d->GetEngineBox()->GetValue());
        return PressOK(d);
    });
    EXPECT_EQ(test::ReadBytes(File()),
              "[Pagewright]\nName=Demo1_\nCompressMethod=0\nUseCompressMethod=FALSE\nEngine=builtin\n");

    EXPECT_EQ(Open([](COptionsDlg* d) {
                  d->GetNameEdit()->ChangeValue("");
                  d->GetMethodList()->SetSelection(4);
                  d->GetUseCompressionBox()->SetValue(true);
                  d->GetEngineBox()->SetValue(false);
                  return PressOK(d);
              }),
              wxID_OK);
    EXPECT_EQ(test::ReadBytes(File()),
              "[Pagewright]\nName=Demo1_\nCompressMethod=4\nUseCompressMethod=TRUE\nEngine=tools\n");
    // Cleared, it stays cleared the next time.
    Open([](COptionsDlg* d) {
        EXPECT_FALSE(d->GetEngineBox()->GetValue());
        return wxID_CANCEL;
    });
}

TEST_F(Options, ResetKeepsTheCheckBoxAndCancelLeavesTheFileAsItWas) {
    const std::string stored =
        "[Pagewright]\nName=A name longer than the thirty-five characters typed\nCompressMethod=3\nUseCompressMethod=TRUE\n"
        "Engine=tools\n";
    Store(stored);
    Open([](COptionsDlg* d) {
        EXPECT_EQ(d->GetNameEdit()->GetValue(), "A name longer than the thirty-five characters typed");
        EXPECT_EQ(d->GetMethodList()->GetSelection(), 3);
        EXPECT_TRUE(d->GetUseCompressionBox()->GetValue());
        EXPECT_FALSE(d->GetEngineBox()->GetValue());
        // Over the limit nothing more can be typed; deleting still works.
        d->GetNameEdit()->AppendText("x");
        EXPECT_EQ(d->GetNameEdit()->GetValue(), "A name longer than the thirty-five characters typed");
        d->GetNameEdit()->Remove(0, 2);
        EXPECT_EQ(d->GetNameEdit()->GetValue(), "name longer than the thirty-five characters typed");
        wxCommandEvent reset(wxEVT_BUTTON, IDC_OPTIONS_RESET);
        d->FindWindow(IDC_OPTIONS_RESET)->ProcessWindowEvent(reset);
        EXPECT_EQ(d->GetNameEdit()->GetValue(), "Demo1_");
        EXPECT_EQ(d->GetMethodList()->GetSelection(), 0);
        EXPECT_EQ(d->GetMethodList()->GetCount(), 6u);
        EXPECT_TRUE(d->GetUseCompressionBox()->GetValue());
        EXPECT_FALSE(d->GetEngineBox()->GetValue());
        // Typing stops at 35 characters.
        d->GetNameEdit()->AppendText(wxString('a', 40));
        EXPECT_EQ(d->GetNameEdit()->GetValue(), "Demo1_" + wxString('a', 29));
        return wxID_CANCEL;
    });
    EXPECT_EQ(test::ReadBytes(File()), stored);
}

TEST_F(Options, StoredValuesAreReadLeniently) {
    // The copy box is cleared only by exactly "tools"; any other engine
    // text is the builtin one and is written back as "builtin".
    const std::tuple<std::string, int, bool, bool> cases[] = {
        {"CompressMethod=7\nUseCompressMethod=True\nEngine=Tools\n", 0, false, true},
        {"CompressMethod=-1\nUseCompressMethod=true\nEngine=\n", 0, false, true},
        {"CompressMethod=2\nUseCompressMethod=TRUE\nEngine=tools\n", 2, true, false},
        {"CompressMethod=5abc\nUseCompressMethod=FALSE\nEngine=tools.\n", 5, false, true},
        {"CompressMethod=abc\nEngine=builtin\n", 0, false, true},
    };
    for (const auto& [text, method, use, builtin] : cases) {
        Store("[Pagewright]\n" + text);
        Open([&, method = method, use = use, builtin = builtin](COptionsDlg* d) {
            EXPECT_EQ(d->GetMethodList()->GetSelection(), method) << text;
            EXPECT_EQ(d->GetUseCompressionBox()->GetValue(), use) << text;
            EXPECT_EQ(d->GetEngineBox()->GetValue(), builtin) << text;
            return PressOK(d);
        });
        if (!use) {
            EXPECT_NE(test::ReadBytes(File()).find("UseCompressMethod=FALSE\n"), std::string::npos) << text;
        }
        EXPECT_NE(test::ReadBytes(File()).find(builtin ? "Engine=builtin\n" : "Engine=tools\n"), std::string::npos)
            << text;
    }
}

TEST_F(Options, TheMainWindowsOptionsButtonOpensTheDialog) {
    SetProgramArguments(0, nullptr);
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> main{new CMainDlg(nullptr), [](CMainDlg* d) { d->Destroy(); }};
    DialogScript script;
    script.Expect<COptionsDlg>([&](COptionsDlg* d) {
        EXPECT_EQ(d->GetParent(), main.get());
        return PressOK(d);
    });
    wxCommandEvent press(wxEVT_BUTTON, IDC_OPTIONS);
    main->ProcessWindowEvent(press);
    EXPECT_EQ(test::ReadBytes(File()),
              "[Pagewright]\nName=Demo1_\nCompressMethod=0\nUseCompressMethod=FALSE\nEngine=builtin\n");
}

}  // namespace
}  // namespace pw
