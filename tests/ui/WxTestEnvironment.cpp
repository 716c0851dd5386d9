#include "tests/ui/WxTestEnvironment.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/config.h>
#include <wx/init.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

namespace pw::test {

namespace {

class WxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static char name[] = "pagewright-test";
        static char* argv[] = {name, nullptr};
        int argc = 1;
        // A failed toolkit assertion fails the test instead of waiting for
        // someone to dismiss a dialog.
        wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                              const wxString& msg) {
            ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion " << cond.utf8_str() << " in "
                                                  << func.utf8_str() << ": " << msg.utf8_str();
        });
        wxApp::SetInstance(new wxApp());
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "the toolkit did not start (is there a display?)";
        ASSERT_TRUE(wxTheApp->CallOnInit());
        // No configuration of the toolkit's own choosing in the home folder:
        // a test that needs one gives it.
        wxConfigBase::DontCreateOnDemand();
        delete wxConfigBase::Set(nullptr);
    }
    void TearDown() override {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace

void Pump() {
    for (int i = 0; i < 5; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
    }
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    wxStopWatch watch;
    while (!condition()) {
        if (watch.Time() > timeoutMs)
            return condition();
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return true;
}

void WaitUntilPlaced(wxWindow* window) {
    WaitFor([window] { return window->IsShownOnScreen(); });
    wxPoint before = window->GetScreenPosition();
    for (int unchanged = 0, i = 0; unchanged < 3 && i < 40; ++i) {
        wxMilliSleep(50);
        Pump();
        const wxPoint now = window->GetScreenPosition();
        unchanged = now == before ? unchanged + 1 : 0;
        before = now;
    }
}

}  // namespace pw::test
