#include "ui/SecondTicker.h"

#include <wx/timer.h>

#include <utility>

namespace pw {

namespace {

class TimerTicker final : public SecondTicker {
public:
    TimerTicker() { timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { if (onTick_) onTick_(); }); }

    void Start(std::function<void()> onTick) override {
        onTick_ = std::move(onTick);
        timer_.Start(1000);
    }
    void Stop() override { timer_.Stop(); }
    bool IsRunning() const override { return timer_.IsRunning(); }

private:
    wxTimer timer_;
    std::function<void()> onTick_;
};

SecondTickerFactory& Factory() {
    static SecondTickerFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<SecondTicker> MakeTimerTicker() { return std::make_unique<TimerTicker>(); }

std::unique_ptr<SecondTicker> MakeSecondTicker() {
    return Factory() ? Factory()() : MakeTimerTicker();
}

void SetSecondTickerFactoryForTesting(SecondTickerFactory factory) { Factory() = std::move(factory); }

}  // namespace pw
