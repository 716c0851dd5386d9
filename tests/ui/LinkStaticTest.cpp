// The link control: its place after fitting to its text, its target, its
// colours, and what a click does.

#include "tests/fixtures/FakeLauncher.h"
#include "tests/ui/ExpectMessageBox.h"
#include "tests/ui/RealInput.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/CLinkStatic.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <memory>

namespace pw {
namespace {

using ExpectMessage = test::ExpectMessageBox;

struct Frame {
    std::unique_ptr<wxFrame, void (*)(wxFrame*)> frame{new wxFrame(nullptr, wxID_ANY, "links"),
                                                       [](wxFrame* f) { f->Destroy(); }};
    ~Frame() { test::Pump(); }
    CLinkStatic* link(const wxString& text, long style = 0) {
        return new CLinkStatic(frame.get(), wxID_ANY, text, wxPoint(10, 20), wxSize(300, 40), style);
    }
};

TEST(LinkStatic, FitsToItsTextKeepingItsAlignment) {
    Frame f;
    const wxString text = "https://pagewright.example.org/";
    CLinkStatic* left = f.link(text);
    const wxSize extent = left->GetTextExtent(text);
    ASSERT_LT(extent.x, 300);
    EXPECT_EQ(left->GetRect(), wxRect(10, 20, extent.x, extent.y));

    CLinkStatic* right = f.link(text, wxALIGN_RIGHT);
    EXPECT_EQ(right->GetRect(), wxRect(310 - extent.x, 20, extent.x, extent.y));

    CLinkStatic* centred = f.link(text, wxALIGN_CENTRE_HORIZONTAL | wxALIGN_CENTRE_VERTICAL);
    const wxRect r = centred->GetRect();
    const int dx = (300 - extent.x) / 2, dy = (40 - extent.y) / 2;
    EXPECT_EQ(r, wxRect(10 + dx, 20 + dy, 300 - 2 * dx, 40 - 2 * dy));
    EXPECT_LE(r.width - extent.x, 1);

    // A longer text later grows a left-aligned link to the right.
    left->SetLabel(text + text);
    EXPECT_EQ(left->GetRect(), wxRect(wxPoint(10, 20), left->GetTextExtent(text + text)));
}

TEST(LinkStatic, TextAndTargetStandInForEachOther) {
    Frame f;
    CLinkStatic* plain = f.link("https://example.org/");
    EXPECT_EQ(plain->GetLinkTarget(), "https://example.org/");
    EXPECT_EQ(plain->GetToolTipText(), "https://example.org/");
    EXPECT_TRUE(plain->IsUnderlined());
    EXPECT_TRUE(plain->GetFont().GetUnderlined());

    auto* early = new CLinkStatic;
    early->SetLinkTarget("mailto:help@example.org");
    ASSERT_TRUE(early->Create(f.frame.get(), wxID_ANY, ""));
    EXPECT_EQ(early->GetLabel(), "mailto:help@example.org");

    plain->SetLinkTarget("https://example.org/other");
    EXPECT_EQ(plain->GetLabel(), "https://example.org/");
    EXPECT_EQ(plain->GetToolTipText(), "https://example.org/other");
    plain->SetUnderlined(false);
    EXPECT_FALSE(plain->GetFont().GetUnderlined());
}

TEST(LinkStatic, IsVisitedOnlyAfterASuccessfulOpen) {
    Frame f;
    CLinkStatic* link = f.link("https://example.org/a b");
    EXPECT_EQ(link->GetCurrentColour(), wxColour(0, 0, 238));
    {
        // The box comes once the opener has given its verdict.
        test::FakeLauncher nothing("");
        wxString text;
        const auto activate = [&] {
            link->Activate();
            test::WaitFor([&] { return !text.empty(); }, 10000);
        };
        wxTEST_DIALOG(activate(), ExpectMessage(&text));
        EXPECT_EQ(text, CLinkStatic::OpenErrorText(31));
        EXPECT_FALSE(link->IsVisited());
    }
    test::FakeLauncher opener;
    link->Activate();
    EXPECT_TRUE(test::WaitFor([&] { return link->IsVisited(); }, 10000));
    EXPECT_EQ(link->GetCurrentColour(), wxColour(85, 26, 139));
    ASSERT_TRUE(opener.WaitForCalls(1));
    EXPECT_EQ(opener.Calls()[0], std::vector<std::string>{"https://example.org/a b"});
}

TEST(LinkStatic, NamesTheFailure) {
    EXPECT_EQ(CLinkStatic::OpenErrorText(31),
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(CLinkStatic::OpenErrorText(2), "Unable to open hyperlink:\n\nThe specified file was not found.");
    EXPECT_EQ(CLinkStatic::OpenErrorText(1), "Unable to open hyperlink:\n\nUnknown Error (1) occurred.");
}

TEST(LinkStatic, TakesTheHoverColourWhileThePointerIsOverIt) {
    Frame f;
    CLinkStatic* link = f.link("https://example.org/");
    const auto move = [&](wxEventType type, int x, int y) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.SetEventObject(link);
        link->GetEventHandler()->ProcessEvent(event);
    };
    move(wxEVT_MOTION, 2, 2);
    EXPECT_TRUE(link->IsHovering());
    EXPECT_EQ(link->GetCurrentColour(), link->GetHoverColour());
    move(wxEVT_MOTION, 3, 2);
    EXPECT_TRUE(link->IsHovering());
    move(wxEVT_MOTION, -4, 2);
    EXPECT_FALSE(link->IsHovering());
    EXPECT_EQ(link->GetCurrentColour(), wxColour(0, 0, 238));
    move(wxEVT_MOTION, 2, 2);
    link->MarkVisited(true);
    move(wxEVT_LEAVE_WINDOW, 400, 2);
    EXPECT_FALSE(link->IsHovering());
    EXPECT_EQ(link->GetCurrentColour(), wxColour(85, 26, 139));
}

// A double click of the user's is one activation: the target opens once.
TEST(LinkStatic, ADoubleClickOpensTheTargetOnce) {
    Frame f;
    CLinkStatic* link = f.link("https://example.org/twice");
    f.frame->Show();
    ASSERT_TRUE(test::WaitFor([&] { return link->IsShownOnScreen(); }));
    test::WaitUntilPlaced(f.frame.get());
    test::FakeLauncher opener;
    test::MovePointer(link->GetScreenPosition() + link->GetSize() / 2);
    test::Xdotool("click --repeat 2 --delay 60 1");
    ASSERT_TRUE(test::WaitFor([&] { return link->IsVisited(); }, 10000));
    test::WaitFor([] { return false; }, 1500);  // a second opening would have come by now
    EXPECT_EQ(opener.Calls().size(), 1u);
}

}  // namespace
}  // namespace pw
