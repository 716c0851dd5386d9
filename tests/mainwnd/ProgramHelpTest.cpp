// F1 in every window of the program, and the message box's Help button, reach
// the one help routine, which opens the home page through the desktop.

#include "dialogs/CAboutDlg.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/ProgramHelp.h"
#include "platform/ProductIdentity.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/FakeLauncher.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/XMessageBox.h"
#include "ui/XMessageBoxButtons.h"

#include <gtest/gtest.h>
#include <wx/modalhook.h>

#include <functional>

namespace pw {
namespace {

const std::vector<std::string> kHomePage{GetProductIdentity().homePage};

// Shows each modal dialog and runs the script on it once it is on the screen.
class WhileShown : public wxModalDialogHook {
public:
    explicit WhileShown(std::function<void(wxDialog&)> script) : script_(std::move(script)) { Register(); }
    ~WhileShown() override { Unregister(); }

protected:
    int Enter(wxDialog* dialog) override {
        dialog->CallAfter([this, dialog] {
            EXPECT_TRUE(test::WaitFor([dialog] { return dialog->IsShownOnScreen(); }));
            script_(*dialog);
        });
        return wxID_NONE;
    }
    void Exit(wxDialog*) override {}

private:
    std::function<void(wxDialog&)> script_;
};

// F1 as the toolkit hands a key to a window: first as a char hook, which the
// window and then its parents see before the focused control.
void PressF1In(wxWindow& window) {
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = WXK_F1;
    event.SetEventObject(&window);
    window.GetEventHandler()->ProcessEvent(event);
}

// No further call arrives within a short while.
void ExpectNoMoreCalls(const test::FakeLauncher& opener, std::size_t n) {
    test::WaitFor([] { return false; }, 300);
    EXPECT_EQ(opener.Calls().size(), n);
}

TEST(ProgramHelp, F1InADialogAMessageBoxAndTheMainWindowOpensTheHomePageOnce) {
    test::TempFolder config;
    test::ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path()};
    InstallProgramHelp();
    InstallProgramHelp();  // a second filter would open the page twice
    test::FakeLauncher opener;

    {
        CAboutDlg about(nullptr);
        about.Show();
        ASSERT_TRUE(test::WaitFor([&] { return about.IsShownOnScreen(); }));
        PressF1In(about);
        ASSERT_TRUE(opener.WaitForCalls(1));
        EXPECT_EQ(opener.Calls()[0], kHomePage);
        EXPECT_TRUE(about.IsShown());
    }
    ExpectNoMoreCalls(opener, 1);

    // F1 and the Help button of a message box; neither ends the box.
    bool pressed = false;
    WhileShown script([&](wxDialog& box) {
        PressF1In(box);
        EXPECT_TRUE(opener.WaitForCalls(2));
        wxWindow* help = box.FindWindow(kHelpButtonId);
        ASSERT_NE(help, nullptr);
        wxCommandEvent click(wxEVT_BUTTON, kHelpButtonId);
        click.SetEventObject(help);
        help->ProcessWindowEvent(click);
        EXPECT_TRUE(opener.WaitForCalls(3));
        EXPECT_TRUE(box.IsModal());
        pressed = true;
        box.EndModal(IDOK);
    });
    EXPECT_EQ(XMessageBox(nullptr, "Disk full", "Save", MB_OK | MB_HELP, nullptr), IDOK);
    EXPECT_TRUE(pressed);
    ExpectNoMoreCalls(opener, 3);
    EXPECT_EQ(opener.Calls()[2], kHomePage);

    // The main window's own F1 and the filter open the page once between them.
    CMainDlg* dlg = new CMainDlg(nullptr);
    dlg->InitDialogOnce();
    dlg->Show();
    ASSERT_TRUE(test::WaitFor([&] { return dlg->IsShownOnScreen(); }));
    PressF1In(*dlg);
    ASSERT_TRUE(opener.WaitForCalls(4));
    ExpectNoMoreCalls(opener, 4);
    dlg->Destroy();
}

}  // namespace
}  // namespace pw
