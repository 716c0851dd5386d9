// Dragging the bar between the preview and the file list with the mouse,
// and the same bar lying down.

#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "res/ResourceIds.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/CHorzSplitter.h"

#include <gtest/gtest.h>
#include <wx/panel.h>
#include <wx/statline.h>
#include <wx/uiaction.h>

#include <memory>

namespace pw {
namespace {

struct Moves {
    std::vector<std::pair<int, long>> events;  // distance, bar number
    void Watch(wxWindow* parent) {
        parent->Bind(EVT_SPLITTER_MOVED, [this](wxCommandEvent& e) { events.emplace_back(e.GetInt(), e.GetExtraLong()); });
    }
};

struct SplitterWindow {
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{nullptr, [](CMainDlg* d) { d->Destroy(); }};
    Moves moves;
    SplitterWindow() {
        const char* argv[] = {"pagewright"};
        SetProgramArguments(1, argv);
        dlg.reset(new CMainDlg(nullptr));
        dlg->Show();
        moves.Watch(dlg.get());
        test::WaitFor([this] { return dlg->IsShownOnScreen(); });
        dlg->Raise();
        dlg->GetFileList()->SetFocus();
        test::Pump();
    }
    ~SplitterWindow() { SetProgramArguments(0, nullptr); }
    wxRect rect(int id) { return dlg->FindWindow(id)->GetRect(); }
};

// Presses on the middle of the bar, moves by the steps and, unless told
// otherwise, lets go.
void Drag(wxWindow* bar, const std::vector<wxPoint>& steps, bool release = true) {
    wxUIActionSimulator sim;
    const wxRect r = bar->GetScreenRect();
    wxPoint at(r.x + r.width / 2, r.y + r.height / 2);
    sim.MouseMove(at);
    test::Pump();
    sim.MouseDown();
    test::Pump();
    for (const wxPoint& step : steps) {
        at += step;
        sim.MouseMove(at);
        test::Pump();
    }
    if (release) {
        sim.MouseUp();
        test::Pump();
    }
}

TEST(MainDlgSplitter, ADragMovesTheBarAndThePanesAndTellsTheWindow) {
    SplitterWindow w;
    wxWindow* bar = w.dlg->FindWindow(IDC_SPLITTER);
    ASSERT_TRUE(w.dlg->GetSplitter().GetBar() == bar);
    EXPECT_EQ(w.dlg->GetSplitter().GetMinBefore(), 30);
    // As the window opened: the panes end one pixel before and after the bar.
    const wxRect barAtOpening = w.rect(IDC_SPLITTER), previewAtOpening = w.rect(IDC_PREVIEW);
    const wxRect bar0 = w.rect(IDC_SPLITTER), preview0 = w.rect(IDC_PREVIEW), list0 = w.rect(IDC_FILELIST);
    EXPECT_EQ(preview0.GetRight() + 1, bar0.x - 1);
    EXPECT_EQ(list0.x, bar0.GetRight() + 2);

    Drag(bar, {wxPoint(15, 0), wxPoint(25, 0)});
    ASSERT_TRUE(test::WaitFor([&] { return !w.moves.events.empty(); }));
    EXPECT_EQ(w.rect(IDC_SPLITTER), wxRect(bar0.x + 40, bar0.y, bar0.width, bar0.height));
    EXPECT_EQ(w.rect(IDC_PREVIEW), wxRect(preview0.x, preview0.y, preview0.width + 40, preview0.height));
    EXPECT_EQ(w.rect(IDC_FILELIST), wxRect(list0.x + 40, list0.y, list0.width - 40, list0.height));
    ASSERT_EQ(w.moves.events.size(), 1u);
    EXPECT_EQ(w.moves.events[0], std::make_pair(40, long{IDC_SPLITTER}));
    EXPECT_FALSE(w.dlg->GetSplitter().IsDragging());
    EXPECT_FALSE(w.dlg->HasCapture());

    // Pressing and letting go, or coming back to the start: nothing.
    const wxRect bar1 = w.rect(IDC_SPLITTER);
    Drag(bar, {});
    Drag(bar, {wxPoint(-20, 0), wxPoint(20, 0)});
    test::Pump();
    EXPECT_EQ(w.rect(IDC_SPLITTER), bar1);
    EXPECT_EQ(w.moves.events.size(), 1u);

    // Escape ends the drag where the bar was last dragged to; other keys
    // are dropped meanwhile.
    Drag(bar, {wxPoint(-25, 0)}, false);
    wxUIActionSimulator sim;
    sim.Char('a');
    test::Pump();
    EXPECT_TRUE(w.dlg->GetSplitter().IsDragging());
    sim.KeyDown(WXK_ESCAPE);
    const bool ended = test::WaitFor([&] { return w.moves.events.size() == 2; });
    sim.KeyUp(WXK_ESCAPE);
    if (!ended)
        sim.MouseUp();
    ASSERT_TRUE(ended);
    EXPECT_EQ(w.moves.events[1].first, -25);
    sim.MouseUp();
    test::Pump();
    EXPECT_EQ(w.rect(IDC_SPLITTER).x, bar1.x - 25);
    EXPECT_EQ(w.moves.events.size(), 2u);

    // The next resize places the bar from the layout's proportions again,
    // and the panes against it: the dragged place is not kept.
    const wxSize size = w.dlg->GetSize();
    w.dlg->SetSize(size + wxSize(20, 0));
    ASSERT_TRUE(test::WaitFor([&] { return w.dlg->GetSize() != size; }));
    w.dlg->SetSize(size);
    ASSERT_TRUE(test::WaitFor([&] { return w.dlg->GetSize() == size; }));
    test::Pump();
    EXPECT_EQ(w.rect(IDC_SPLITTER), barAtOpening);
    EXPECT_EQ(w.rect(IDC_PREVIEW), previewAtOpening);
}

TEST(MainDlgSplitter, TheBarStaysThirtyPixelsFromThePanesOuterEdges) {
    SplitterWindow w;
    wxWindow* bar = w.dlg->FindWindow(IDC_SPLITTER);
    const wxRect preview = w.rect(IDC_PREVIEW), list = w.rect(IDC_FILELIST);
    Drag(bar, {wxPoint(-300, 0), wxPoint(-3000, 0)});
    ASSERT_TRUE(test::WaitFor([&] { return w.moves.events.size() == 1; }));
    EXPECT_EQ(w.rect(IDC_SPLITTER).x, preview.x + 30);
    EXPECT_EQ(w.rect(IDC_PREVIEW).width, 29);
    Drag(bar, {wxPoint(300, 0), wxPoint(3000, 0)});
    ASSERT_TRUE(test::WaitFor([&] { return w.moves.events.size() == 2; }));
    EXPECT_EQ(w.rect(IDC_SPLITTER).GetRight() + 1, list.GetRight() + 1 - 30);

    wxRect limits;
    CHorzSplitter none;
    EXPECT_FALSE(none.GetDragLimits(limits, 0, 0));  // attached to nothing
    w.dlg->GetSplitter().SetMinPaneSizes(2000, 2000);
    EXPECT_FALSE(w.dlg->GetSplitter().GetDragLimits(limits, 1, 1));
    const wxRect before = w.rect(IDC_SPLITTER);
    Drag(bar, {wxPoint(-10, 0)});
    EXPECT_EQ(w.rect(IDC_SPLITTER), before);  // no room: no drag
    EXPECT_EQ(w.moves.events.size(), 2u);
}

TEST(HorzSplitter, MovesUpAndDownBetweenTopAndBottomPanes) {
    std::unique_ptr<wxDialog, void (*)(wxDialog*)> dlg(new wxDialog(nullptr, wxID_ANY, "bars"),
                                                     [](wxDialog* d) { d->Destroy(); });
    dlg->SetClientSize(300, 300);
    auto* top = new wxPanel(dlg.get(), 10, wxPoint(10, 10), wxSize(280, 130), wxBORDER_SIMPLE);
    new wxStaticLine(dlg.get(), 11, wxPoint(10, 150), wxSize(280, 6), wxLI_HORIZONTAL);
    auto* bottom = new wxPanel(dlg.get(), 12, wxPoint(10, 160), wxSize(280, 130), wxBORDER_SIMPLE);
    CHorzSplitter splitter;
    ASSERT_TRUE(splitter.AttachToStatic(dlg.get(), 11));
    splitter.AddLeftPane(10);
    splitter.AddRightPane(12);
    splitter.RecalcPanes();
    EXPECT_EQ(top->GetRect(), wxRect(10, 10, 280, 139));
    EXPECT_EQ(bottom->GetRect(), wxRect(10, 157, 280, 133));
    Moves moves;
    moves.Watch(dlg.get());
    dlg->Show();
    test::WaitFor([&] { return dlg->IsShownOnScreen(); });
    test::Pump();
    Drag(splitter.GetBar(), {wxPoint(0, 12), wxPoint(0, 8)});
    ASSERT_TRUE(test::WaitFor([&] { return !moves.events.empty(); }));
    EXPECT_EQ(moves.events[0], std::make_pair(20, 11L));
    EXPECT_EQ(splitter.GetBar()->GetPosition(), wxPoint(10, 170));
    EXPECT_EQ(top->GetRect(), wxRect(10, 10, 280, 159));
    EXPECT_EQ(bottom->GetRect(), wxRect(10, 177, 280, 113));
    splitter.ReleaseBar();
    EXPECT_EQ(splitter.GetBar(), nullptr);
    Drag(dlg->FindWindow(11), {wxPoint(0, 10)});
    EXPECT_EQ(moves.events.size(), 1u);  // given back: no more drags
}

}  // namespace
}  // namespace pw
