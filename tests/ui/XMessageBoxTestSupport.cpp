#include "tests/ui/XMessageBoxTestSupport.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/evtloop.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdio>

namespace pw::test {

void XMessageBoxTestBase::SetUp() {
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
        ADD_FAILURE() << "wx assertion " << cond << " " << msg << " in " << func << " at " << file << ":" << line;
    });
    configPath_ = wxFileName::CreateTempFileName("xmbcfg").utf8_string();
    wxConfigBase::DontCreateOnDemand();
    delete wxConfigBase::Set(new wxFileConfig("xmessagebox_test", "", wxString::FromUTF8(configPath_), "",
                                              wxCONFIG_USE_LOCAL_FILE));
}

void XMessageBoxTestBase::TearDown() {
    delete wxConfigBase::Set(nullptr);
    std::remove(configPath_.c_str());
    wxSetDefaultAssertHandler();
}

unsigned XMessageBoxTestBase::StoredEntries() const {
    wxConfigBase::Get()->SetPath("/");
    return static_cast<unsigned>(wxConfigBase::Get()->GetNumberOfEntries(true));
}

class ManualClock::Ticker final : public SecondTicker {
public:
    explicit Ticker(ManualClock& clock) : clock_(&clock) { clock_->tickers_.push_back(this); }
    ~Ticker() override {
        if (clock_) std::erase(clock_->tickers_, this);
    }
    void Start(std::function<void()> onTick) override {
        onTick_ = std::move(onTick);
        running_ = true;
    }
    void Stop() override { running_ = false; }
    bool IsRunning() const override { return running_; }

    void Fire() {
        if (running_ && onTick_) onTick_();
    }
    void Forget() { clock_ = nullptr; }

private:
    ManualClock* clock_;
    std::function<void()> onTick_;
    bool running_ = false;
};

ManualClock::ManualClock() {
    SetSecondTickerFactoryForTesting([this] { return std::make_unique<Ticker>(*this); });
}

ManualClock::~ManualClock() {
    SetSecondTickerFactoryForTesting({});
    for (Ticker* t : tickers_) t->Forget();
}

void ManualClock::Tick() {
    const std::vector<Ticker*> now = tickers_;
    for (Ticker* t : now)
        if (std::find(tickers_.begin(), tickers_.end(), t) != tickers_.end()) t->Fire();
}

int ManualClock::Running() const {
    return static_cast<int>(std::count_if(tickers_.begin(), tickers_.end(), [](Ticker* t) { return t->IsRunning(); }));
}

ModalScript::ModalScript(std::function<void(XMessageBoxDialog&)> script) : script_(std::move(script)) { Register(); }

ModalScript::~ModalScript() { Unregister(); }

int ModalScript::Enter(wxDialog* dialog) {
    auto* box = dynamic_cast<XMessageBoxDialog*>(dialog);
    if (!box) return wxID_NONE;
    ++shown_;
    box->CallAfter([this, box] {
        EXPECT_TRUE(WaitFor([box] { return box->IsShownOnScreen(); })) << "the box never came up";
        // A window manager frames and places the box in its own time.
        if (std::getenv("PAGEWRIGHT_TEST_WM"))
            WaitFor([] { return false; }, 400);
        script_(*box);
        if (box->IsModal()) {
            ADD_FAILURE() << "the box is still up after the script";
            box->EndModal(kLeftOpen);
        }
    });
    return wxID_NONE;
}

CountingHook::CountingHook(int answer) : answer_(answer) { Register(); }

CountingHook::~CountingHook() { Unregister(); }

int CountingHook::Enter(wxDialog*) {
    ++count_;
    return answer_;
}

std::vector<std::pair<int, std::string>> ButtonsOf(const wxWindow& box) {
    std::vector<std::pair<int, std::string>> buttons;
    for (const wxWindow* child : box.GetChildren())
        if (wxDynamicCast(child, wxButton) || wxDynamicCast(child, wxCheckBox))
            buttons.emplace_back(child->GetId(), child->GetLabel().utf8_string());
    return buttons;
}

std::string ClipboardText() {
    std::string text;
    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data))
            text = data.GetText().utf8_string();
        wxTheClipboard->Close();
    }
    return text;
}

}  // namespace pw::test
