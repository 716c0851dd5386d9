// A window that changes many times a second paints at the pace it is given,
// and what was held back is painted once the pace lets go.

#include "tests/ui/WxTestEnvironment.h"
#include "ui/PaintPace.h"

#include <gtest/gtest.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <chrono>
#include <memory>
#include <thread>

namespace pw {
namespace {

using namespace std::chrono_literals;

struct PaintedFrame {
    std::unique_ptr<wxFrame, void (*)(wxFrame*)> frame{new wxFrame(nullptr, wxID_ANY, "pace"),
                                                       [](wxFrame* f) { f->Destroy(); }};
    wxPanel* panel = new wxPanel(frame.get());
    int paints = 0;

    PaintedFrame() {
        panel->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(panel);
            ++paints;
        });
        frame->SetClientSize(200, 100);
        frame->Show();
        test::WaitFor([this] { return paints > 0; });
    }
    ~PaintedFrame() { test::Pump(); }

    // Changes the panel every 2 ms for the given time, telling pace (if any)
    // after each change; returns the paints meanwhile.
    int ChangeFor(std::chrono::milliseconds span, PaintPace* pace) {
        const int before = paints;
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            panel->Refresh();
            if (pace)
                pace->Changed();
            test::Pump();
            std::this_thread::sleep_for(2ms);
        }
        return paints - before;
    }
};

TEST(PaintPace, HoldsPaintsToItsIntervalAndPaintsWhatItHeldWhenItLetsGo) {
    PaintedFrame f;
    ASSERT_GT(f.paints, 0) << "the frame never painted";

    // Unpaced, the panel paints with the toolkit's frames; the comparison
    // shows that the display paints often enough for the paced count to mean
    // something.
    const int unpaced = f.ChangeFor(600ms, nullptr);
    ASSERT_GE(unpaced, 15);

    PaintPace pace(f.panel, 100ms);
    const int paced = f.ChangeFor(600ms, &pace);
    EXPECT_GE(paced, 3);
    EXPECT_LE(paced, 9) << "at most one paint per 100 ms, and one at the start";

    // A change while held is painted when the interval ends, without any
    // further call.
    f.panel->Refresh();
    pace.Changed();
    ASSERT_TRUE(pace.IsHolding());
    const int held = f.paints;
    EXPECT_TRUE(test::WaitFor([&] { return f.paints > held; }, 1000));
    EXPECT_FALSE(pace.IsHolding());

    // Release paints at once and the next change is not held.
    f.panel->Refresh();
    pace.Changed();
    pace.Release();
    const int released = f.paints;
    EXPECT_TRUE(test::WaitFor([&] { return f.paints > released; }, 1000));
}

TEST(PaintPace, AWindowDestroyedWhileHeldIsReleasedSafely) {
    auto pace = std::make_unique<PaintPace>(nullptr, 100ms);
    pace->Changed();
    EXPECT_FALSE(pace->IsHolding()) << "nothing to hold";

    PaintedFrame f;
    pace = std::make_unique<PaintPace>(f.panel, 100ms);
    pace->Changed();
    f.panel->Refresh();
    pace->Changed();
    ASSERT_TRUE(pace->IsHolding());
    f.frame.reset();
    test::Pump();
    pace.reset();  // lets go of a window that is gone
}

}  // namespace
}  // namespace pw
