// The layout manager and the resizable dialog, on real windows.

#include "tests/ui/WxTestEnvironment.h"
#include "ui/DialogBuilder.h"
#include "ui/cdxCLayoutManager.h"
#include "ui/cdxCResizableDialog.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

#include <memory>

namespace pw {
namespace {

using test::WaitFor;

constexpr ControlTemplate kRows[] = {
    {101, ControlClass::Panel, "", {7, 7, 100, 80}, CS_BORDER},
    {102, ControlClass::ListView, "List1", {110, 7, 90, 80}, CS_REPORT | CS_BORDER},
    {103, ControlClass::Button, "OK", {7, 92, 50, 14}, CS_DEFAULT},
    {104, ControlClass::Static, "Status", {60, 94, 140, 9}, CS_NONE},
};
constexpr DialogTemplate kTemplate = {900, "Test", 207, 112, DS_CAPTION | DS_SYSMENU | DS_RESIZABLE | DS_CENTER, kRows};

// A resizable dialog built from kTemplate, closed when the test ends.
struct TestDialog {
    std::unique_ptr<cdxCResizableDialog, void (*)(cdxCResizableDialog*)> dlg{
        new cdxCResizableDialog(kTemplate, nullptr), [](cdxCResizableDialog* d) { d->Destroy(); }};
    cdxCLayoutManager& layout() { return dlg->GetLayoutManager(); }
    wxWindow* control(int id) { return dlg->FindWindow(id); }
};

TEST(ShiftEdge, TruncatesTowardZero) {
    struct Case { int recorded, growth, percent, expected; };
    const Case cases[] = {
        {10, 15, 50, 17}, {10, -15, 50, 3}, {10, 100, 70, 80}, {10, 99, 70, 79},
        {10, 0, 70, 10},  {10, 100, 0, 10}, {0, 7, 100, 7},    {5, 1, 99, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShiftEdge(c.recorded, c.growth, c.percent), c.expected)
            << c.recorded << " + " << c.growth << " x " << c.percent << "%";
}

TEST(DialogBuilder, BuildsEveryRowOfTheTable) {
    TestDialog t;
    ASSERT_EQ(t.dlg->GetTitle(), "Test");
    const wxSize client = t.dlg->GetClientSize();
    EXPECT_EQ(client, t.dlg->ConvertDialogToPixels(wxSize(207, 112)));
    for (const ControlTemplate& row : kRows) {
        wxWindow* w = t.control(row.id);
        ASSERT_NE(w, nullptr) << row.id;
        const wxPoint tl = t.dlg->ConvertDialogToPixels(wxPoint(row.rect.x, row.rect.y));
        const wxPoint br = t.dlg->ConvertDialogToPixels(wxPoint(row.rect.x + row.rect.w, row.rect.y + row.rect.h));
        wxRect expected(tl, br - wxPoint(1, 1));
        // A button lower than the toolkit draws one gets its least height
        // around the same middle.
        if (row.cls == ControlClass::Button && w->GetBestSize().y > expected.height) {
            const int grow = w->GetBestSize().y - expected.height;
            expected.y -= grow / 2;
            expected.height += grow;
        }
        EXPECT_EQ(w->GetRect(), expected) << row.id;
        if (*row.text) {
            EXPECT_EQ(w->GetLabel(), row.text) << row.id;
        }
    }
    EXPECT_NE(dynamic_cast<wxListCtrl*>(t.control(102)), nullptr);
    EXPECT_TRUE(dynamic_cast<wxListCtrl*>(t.control(102))->InReportView());
    auto* ok = dynamic_cast<wxButton*>(t.control(103));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(t.dlg->GetDefaultItem(), ok);
    EXPECT_NE(dynamic_cast<wxStaticText*>(t.control(104)), nullptr);
    EXPECT_TRUE(t.dlg->HasFlag(wxRESIZE_BORDER));
}

TEST(LayoutManager, DoesNothingBeforeInit) {
    TestDialog t;
    EXPECT_FALSE(t.layout().IsInitialised());
    EXPECT_EQ(t.layout().AddControl(t.control(101), cdxCLayoutManager::ModeStretch, cdxCLayoutManager::ModeStretch),
              nullptr);
    EXPECT_FALSE(t.layout().Layout(1000, 1000));
    EXPECT_FALSE(t.layout().Relayout());
    cdxCLayoutManager::MinMaxInfo info;
    t.layout().OnGetMinMaxInfo(info);
    EXPECT_EQ(info.minTrackSize, wxDefaultSize);
}

TEST(LayoutManager, RefusesWhatCannotBeLaidOut) {
    TestDialog t;
    ASSERT_TRUE(t.dlg->InitLayout(0));
    using M = cdxCLayoutManager;
    EXPECT_EQ(t.layout().AddControl(t.control(101), M::ModeFixed, M::ModeFixed), nullptr);
    EXPECT_EQ(t.layout().AddControl(t.control(101), 7, -1), nullptr);  // unknown modes count as fixed
    EXPECT_EQ(t.layout().AddControlPercent(t.control(101), 0, 0, 0, 0), nullptr);
    EXPECT_EQ(t.layout().AddControl(nullptr, M::ModeMove, M::ModeMove), nullptr);
    wxButton notCreated;  // an object that never got a window
    EXPECT_EQ(t.layout().AddControl(&notCreated, M::ModeMove, M::ModeMove), nullptr);

    cdxCLayoutManager unbound;
    EXPECT_TRUE(unbound.Init(10));
    EXPECT_FALSE(unbound.IsInitialised());
    EXPECT_EQ(unbound.AddControl(t.control(101), M::ModeMove, M::ModeMove), nullptr);
}

TEST(LayoutManager, ModesBecomePercentagesAndEntriesRunFromTheLatest) {
    TestDialog t;
    ASSERT_TRUE(t.dlg->InitLayout(0));
    using M = cdxCLayoutManager;
    cdxCLayoutEntry* a = t.layout().AddControl(t.control(101), M::ModeStretch, M::ModeHalfMove);
    cdxCLayoutEntry* b = t.layout().AddControl(t.control(102), M::ModeMove, M::ModeFixed);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::make_tuple(a->leftPercent, a->rightPercent, a->topPercent, a->bottomPercent),
              std::make_tuple(0, 100, 50, 50));
    EXPECT_EQ(std::make_tuple(b->leftPercent, b->rightPercent, b->topPercent, b->bottomPercent),
              std::make_tuple(100, 100, 0, 0));
    // The grip went in first at Init, so the list reads b, a, grip.
    EXPECT_EQ(t.layout().GetFirstEntry(), b);
    EXPECT_EQ(b->next, a);
    ASSERT_NE(a->next, nullptr);
    EXPECT_EQ(a->next->link.window.get(), t.layout().GetSizeGrip());
    EXPECT_EQ(a->next->next, nullptr);

    delete a;  // unlinks itself
    EXPECT_EQ(b->next->link.window.get(), t.layout().GetSizeGrip());
    EXPECT_EQ(b->next->prev, b);
    t.layout().RemoveAll();
    EXPECT_EQ(t.layout().GetFirstEntry(), nullptr);
}

TEST(LayoutManager, PlacesEdgesByTheirShareOfTheGrowth) {
    TestDialog t;
    ASSERT_TRUE(t.dlg->InitLayout(0));
    const wxSize init = t.layout().GetInitialClientSize();
    const wxRect panel = t.control(101)->GetRect();
    const wxRect list = t.control(102)->GetRect();
    const wxRect ok = t.control(103)->GetRect();
    const wxRect status = t.control(104)->GetRect();
    ASSERT_NE(t.layout().AddControlPercent(t.control(101), 0, 70, 0, 100), nullptr);
    ASSERT_NE(t.layout().AddControlPercent(t.control(102), 70, 100, 0, 100), nullptr);
    ASSERT_NE(t.layout().AddControl(t.control(103), cdxCLayoutManager::ModeHalfMove, cdxCLayoutManager::ModeMove),
              nullptr);
    ASSERT_NE(t.layout().AddControlPercent(t.control(104), 50, 50, 100, 100), nullptr);

    EXPECT_TRUE(t.layout().Layout(init.x + 100, init.y + 15));
    EXPECT_EQ(t.control(101)->GetRect(), wxRect(panel.x, panel.y, panel.width + 70, panel.height + 15));
    EXPECT_EQ(t.control(102)->GetRect(), wxRect(list.x + 70, list.y, list.width + 30, list.height + 15));
    EXPECT_EQ(t.control(103)->GetRect(), wxRect(ok.x + 50, ok.y + 15, ok.width, ok.height));
    EXPECT_EQ(t.control(104)->GetRect(), wxRect(status.x + 50, status.y + 15, status.width, status.height));

    // 15 pixels at 50% move an edge by 7.
    EXPECT_TRUE(t.layout().Layout(init.x + 15, init.y));
    EXPECT_EQ(t.control(103)->GetPosition(), wxPoint(ok.x + 7, ok.y));

    // A client area smaller than at Init counts as no growth in that direction.
    EXPECT_FALSE(t.layout().Layout(init.x - 40, init.y + 20));
    EXPECT_EQ(t.control(101)->GetRect(), wxRect(panel.x, panel.y, panel.width, panel.height + 20));
    EXPECT_EQ(t.control(103)->GetPosition(), wxPoint(ok.x, ok.y + 20));
    EXPECT_FALSE(t.layout().Layout(init.x - 1, init.y - 1));
    EXPECT_EQ(t.control(101)->GetRect(), panel);
    EXPECT_EQ(t.control(102)->GetRect(), list);
}

TEST(LayoutManager, PutsBackAControlMovedByOtherCode) {
    TestDialog t;
    ASSERT_TRUE(t.dlg->InitLayout(0));
    const wxSize init = t.layout().GetInitialClientSize();
    const wxRect list = t.control(102)->GetRect();
    ASSERT_NE(t.layout().AddControlPercent(t.control(102), 70, 100, 0, 100), nullptr);
    t.control(102)->SetSize(3, 3, 20, 20);
    t.layout().Layout(init.x + 10, init.y);
    EXPECT_EQ(t.control(102)->GetRect(), wxRect(list.x + 7, list.y, list.width + 3, list.height));
}

TEST(LayoutManager, SkipsAControlThatIsGone) {
    TestDialog t;
    ASSERT_TRUE(t.dlg->InitLayout(0));
    const wxSize init = t.layout().GetInitialClientSize();
    const wxRect ok = t.control(103)->GetRect();
    ASSERT_NE(t.layout().AddControl(t.control(102), cdxCLayoutManager::ModeMove, cdxCLayoutManager::ModeMove),
              nullptr);
    cdxCLayoutEntry* okEntry =
        t.layout().AddControl(t.control(103), cdxCLayoutManager::ModeMove, cdxCLayoutManager::ModeMove);
    ASSERT_NE(okEntry, nullptr);
    delete t.control(102);
    EXPECT_TRUE(t.layout().Layout(init.x + 20, init.y + 20));
    EXPECT_EQ(t.control(103)->GetPosition(), ok.GetPosition() + wxPoint(20, 20));
    int entries = 0;
    for (cdxCLayoutEntry* e = t.layout().GetFirstEntry(); e; e = e->next)
        ++entries;
    EXPECT_EQ(entries, 3);  // the entry stays until RemoveAll
}

TEST(LayoutManager, GrowsAroundTheCentreByAFifthPerStepOfTen) {
    TestDialog t;
    t.dlg->SetSize(300, 200, 500, 400);
    ASSERT_TRUE(t.dlg->InitLayout(0));
    t.layout().Grow(10);
    EXPECT_EQ(t.dlg->GetRect(), wxRect(200, 120, 700, 560));
    // Unsigned division: 3 x 7 / 50 truncates to 0.
    TestDialog small;
    small.dlg->SetSize(300, 200, 7, 7);
    ASSERT_TRUE(small.dlg->InitLayout(0));
    small.layout().Grow(3);
    EXPECT_EQ(small.dlg->GetRect(), wxRect(300, 200, 7, 7));
}

TEST(LayoutManager, GrowthStopsAtTheScreensLeftAndTopEdges) {
    TestDialog t;
    t.dlg->SetSize(30, 10, 500, 400);
    ASSERT_TRUE(t.dlg->InitLayout(0));
    t.layout().Grow(10);
    // Each edge moves out by 100 and 80; the left and top edges stop at 0
    // while the right and bottom ones still move the full step.
    EXPECT_EQ(t.dlg->GetRect(), wxRect(0, 0, 630, 490));
}

TEST(LayoutManager, AGrownWindowStaysOnItsDisplayButNeverShrinks) {
    const wxRect area = wxDisplay(0u).GetClientArea();
    ASSERT_EQ(area, wxRect(0, 0, 1600, 1000)) << "the test expects the display of the GUI tests";
    TestDialog t;
    t.dlg->SetSize(100, 100, 1200, 800);
    ASSERT_TRUE(t.dlg->InitLayout(0));
    t.layout().Grow(10);
    // 1540 wide fits; 1060 high does not and becomes the display's height.
    EXPECT_EQ(t.dlg->GetRect(), wxRect(0, 0, 1540, 1000));

    TestDialog huge;
    huge.dlg->SetSize(0, 0, 1700, 1100);
    ASSERT_TRUE(huge.dlg->InitLayout(0));
    huge.layout().Grow(10);
    EXPECT_EQ(huge.dlg->GetRect(), wxRect(0, 0, 1700, 1100));
}

TEST(LayoutManager, GrowthFollowsTheFlags) {
    TestDialog t;
    t.dlg->SetSize(300, 200, 500, 400);
    cdxCLayoutManager horzOnly(cdxCLayoutManager::SizeHorz, false);
    horzOnly.SetWindow(t.dlg.get());
    horzOnly.Init(10);
    EXPECT_EQ(t.dlg->GetRect(), wxRect(200, 200, 700, 400));
    EXPECT_EQ(horzOnly.GetSizeGrip(), nullptr);
    cdxCLayoutManager::MinMaxInfo info;
    horzOnly.OnGetMinMaxInfo(info);
    EXPECT_EQ(info.minTrackSize, wxSize(500, 400));
    EXPECT_EQ(info.maxTrackSize, wxSize(-1, 400));
}

TEST(ResizableDialog, OpensGrownWithTheGripInTheCorner) {
    TestDialog t;
    const wxSize templateClient = t.dlg->GetClientSize();
    const wxSize templateFrame = t.dlg->GetSize();
    const wxRect ok = t.control(103)->GetRect();
    ASSERT_TRUE(t.dlg->OnInitDialog());
    EXPECT_EQ(t.layout().GetInitialClientSize(), templateClient);
    EXPECT_EQ(t.layout().GetInitialWindowSize(), templateFrame);
    EXPECT_EQ(t.dlg->GetSize(), wxSize(templateFrame.x + 2 * (10 * templateFrame.x / 50),
                                       templateFrame.y + 2 * (10 * templateFrame.y / 50)));
    EXPECT_EQ(t.dlg->GetMinSize(), templateFrame);
    EXPECT_EQ(t.dlg->GetMaxSize(), wxDefaultSize);

    wxWindow* grip = t.layout().GetSizeGrip();
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(grip->IsShown());
    // The grip follows the corner; controls added now are placed at once.
    ASSERT_TRUE(WaitFor([&] { return t.dlg->GetClientSize() != templateClient; }));
    const wxSize client = t.dlg->GetClientSize();
    EXPECT_EQ(grip->GetRect().GetBottomRight(), wxPoint(client.x - 1, client.y - 1));
    ASSERT_NE(t.layout().AddControl(t.control(103), cdxCLayoutManager::ModeMove, cdxCLayoutManager::ModeMove),
              nullptr);
    EXPECT_EQ(t.control(103)->GetPosition(),
              ok.GetPosition() + wxPoint(client.x - templateClient.x, client.y - templateClient.y));
}

TEST(ResizableDialog, FollowsARealResizeAndIgnoresSizesWhileMinimised) {
    TestDialog t;
    const wxRect ok = t.control(103)->GetRect();
    t.dlg->Show();  // runs the initialisation first
    ASSERT_TRUE(t.layout().IsInitialised());
    const wxSize init = t.layout().GetInitialClientSize();
    ASSERT_NE(t.layout().AddControl(t.control(103), cdxCLayoutManager::ModeMove, cdxCLayoutManager::ModeMove),
              nullptr);

    t.dlg->SetClientSize(init.x + 120, init.y + 60);
    ASSERT_TRUE(WaitFor([&] { return t.control(103)->GetPosition() == ok.GetPosition() + wxPoint(120, 60); }))
        << "client " << t.dlg->GetClientSize().x << "x" << t.dlg->GetClientSize().y;

    wxIconizeEvent minimised(t.dlg->GetId(), true);
    minimised.SetEventObject(t.dlg.get());
    t.dlg->ProcessWindowEvent(minimised);
    t.dlg->SetClientSize(init.x + 200, init.y + 100);
    ASSERT_TRUE(WaitFor([&] { return t.dlg->GetClientSize() == wxSize(init.x + 200, init.y + 100); }));
    test::Pump();
    EXPECT_EQ(t.control(103)->GetPosition(), ok.GetPosition() + wxPoint(120, 60));

    wxIconizeEvent restored(t.dlg->GetId(), false);
    restored.SetEventObject(t.dlg.get());
    t.dlg->ProcessWindowEvent(restored);
    EXPECT_EQ(t.control(103)->GetPosition(), ok.GetPosition() + wxPoint(200, 100));
    t.dlg->Hide();
}

TEST(ResizableDialog, CannotBeDraggedSmallerThanItsTemplate) {
    TestDialog t;
    const wxSize templateFrame = t.dlg->GetSize();
    t.dlg->Show();
    t.dlg->SetSize(templateFrame.x / 2, templateFrame.y / 2);
    test::Pump();
    EXPECT_GE(t.dlg->GetSize().x, templateFrame.x);
    EXPECT_GE(t.dlg->GetSize().y, templateFrame.y);
    t.dlg->Hide();
}

}  // namespace
}  // namespace pw
