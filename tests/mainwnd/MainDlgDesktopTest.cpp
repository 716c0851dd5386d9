// The main window as the desktop sees it: the smallest size the user can
// give it, where it opens, and how it presents itself to the window manager.
// The window-manager cases run only where the test runner started one
// (PAGEWRIGHT_TEST_WM); the rest runs on a bare display as well.

#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"

#include "tests/ui/CommandOutput.h"

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <functional>
#include <string>

namespace pw {
namespace {

bool UnderWindowManager() { return std::getenv("PAGEWRIGHT_TEST_WM") != nullptr; }

using test::CommandOutput;

// The main window run as the program runs it, modally; the check runs once
// the window is on the screen (framed and active under a window manager).
void RunMainWindow(const std::function<void(CMainDlg&)>& check) {
    SetProgramArguments(0, nullptr);
    auto* dlg = new CMainDlg(nullptr);
    dlg->SetStartupHooks({[](wxWindow*, const char*, const char*, unsigned) { return 0; }, [](int) {}});
    dlg->CallAfter([dlg, &check] {
        EXPECT_TRUE(test::WaitFor([dlg] { return dlg->IsShownOnScreen(); }, 5000));
        if (UnderWindowManager()) {
            EXPECT_TRUE(test::WaitFor(
                [] { return CommandOutput("xdotool getactivewindow getwindowname 2>/dev/null") == "Pagewright\n"; }, 5000));
        }
        test::WaitFor([] { return false; }, 300);  // placed and laid out
        check(*dlg);
        if (dlg->IsModal())
            dlg->EndModal(wxID_CANCEL);
    });
    dlg->ShowModal();
    dlg->Destroy();
}

// The template's client area, 511 x 313 dialog units.
wxSize TemplateClientSize(const wxWindow* dlg) { return dlg->ConvertDialogToPixels(wxSize(511, 313)); }

TEST(MainDialogOnTheDesktop, CannotBeMadeSmallerThanTheTemplatesClientArea) {
    RunMainWindow([](CMainDlg& dlg) {
        const wxSize templ = TemplateClientSize(&dlg);
        ASSERT_TRUE(test::WaitFor([&] { return dlg.GetClientSize().x > templ.x; }, 3000));
        if (UnderWindowManager())
            // As the user's resizing does it: through the window manager.
            std::system("xdotool getactivewindow windowsize 300 200");
        else
            dlg.SetSize(300, 200);
        ASSERT_TRUE(test::WaitFor([&] { return dlg.GetClientSize().x < templ.x + 50; }, 5000));
        test::WaitFor([] { return false; }, 300);
        EXPECT_EQ(dlg.GetClientSize(), templ);
        // The progress bar and the size grip are whole inside the client area.
        const wxRect client(wxPoint(0, 0), dlg.GetClientSize());
        for (wxWindow* part : {dlg.FindWindow(1014), dlg.GetLayoutManager().GetSizeGrip()}) {
            ASSERT_NE(part, nullptr);
            EXPECT_TRUE(client.Contains(part->GetRect())) << part->GetId();
        }
    });
}

TEST(MainDialogOnTheDesktop, OpensCentredOnItsDisplay) {
    RunMainWindow([](CMainDlg& dlg) {
        const int display = std::max(0, wxDisplay::GetFromWindow(&dlg));
        const wxRect area = wxDisplay(static_cast<unsigned>(display)).GetClientArea();
        const wxRect client(dlg.ClientToScreen(wxPoint(0, 0)), dlg.GetClientSize());
        // The frame's title bar shifts the client area down by half its
        // height.
        EXPECT_NEAR(client.x + client.width / 2, area.x + area.width / 2, 4);
        EXPECT_NEAR(client.y + client.height / 2, area.y + area.height / 2, 16);
    });
}

TEST(MainDialogOnTheDesktop, IsANormalTopLevelWindowWhileItRunsModally) {
    if (!UnderWindowManager())
        GTEST_SKIP() << "needs a window manager";
    std::string type, state, transient;
    RunMainWindow([&](CMainDlg&) {
        std::string id = CommandOutput("xdotool getactivewindow");
        id = id.substr(0, id.find('\n'));
        type = CommandOutput("xprop -id " + id + " _NET_WM_WINDOW_TYPE");
        state = CommandOutput("xprop -id " + id + " _NET_WM_STATE");
        transient = CommandOutput("xprop -id " + id + " WM_TRANSIENT_FOR");
    });
    EXPECT_NE(type.find("_NET_WM_WINDOW_TYPE_NORMAL"), std::string::npos) << type;
    EXPECT_EQ(type.find("_NET_WM_WINDOW_TYPE_DIALOG"), std::string::npos) << type;
    EXPECT_EQ(state.find("_NET_WM_STATE_MODAL"), std::string::npos) << state;
    EXPECT_NE(transient.find("not found"), std::string::npos) << transient;
}

// Closed somewhere else, at another size and with the bar moved, the window
// comes back so at the next start; a place beyond the display, or a size
// larger than it, is brought back onto it.
TEST(MainDialogOnTheDesktop, ComesBackWhereItWasClosedOnItsDisplay) {
    test::TempFolder folder;
    delete wxConfigBase::Set(new wxFileConfig("t", "", wxString::FromUTF8(folder / "window.conf"), "",
                                              wxCONFIG_USE_LOCAL_FILE));
    wxRect closed;
    int bar = -1;
    RunMainWindow([&](CMainDlg& dlg) {
        dlg.SetSize(wxRect(120, 90, 1100, 720));
        ASSERT_TRUE(test::WaitFor([&] { return dlg.GetSize() == wxSize(1100, 720); }, 5000));
        test::WaitFor([] { return false; }, 300);
        dlg.GetSplitter().MoveBarTo(300);
        bar = dlg.FindWindow(IDC_SPLITTER)->GetPosition().x;
        closed = dlg.GetRect();
        dlg.Close();  // as the close box does
    });
    ASSERT_NE(bar, -1);
    RunMainWindow([&](CMainDlg& dlg) {
        EXPECT_EQ(dlg.GetRect(), closed);
        EXPECT_EQ(dlg.FindWindow(IDC_SPLITTER)->GetPosition().x, bar);
        EXPECT_EQ(dlg.FindWindow(IDC_PREVIEW)->GetRect().GetRight() + 2, bar);
    });
    wxConfigBase::Get()->Write("/Window/Main/X", 5000);
    wxConfigBase::Get()->Write("/Window/Main/Y", -3000);
    wxConfigBase::Get()->Write("/Window/Main/Width", 9000);
    RunMainWindow([&](CMainDlg& dlg) {
        const wxRect area = wxDisplay(0u).GetClientArea();
        EXPECT_TRUE(area.Contains(dlg.GetRect())) << dlg.GetRect().x << "," << dlg.GetRect().y;
        EXPECT_EQ(dlg.GetSize().y, 720);
    });
    delete wxConfigBase::Set(nullptr);
}

}  // namespace
}  // namespace pw
