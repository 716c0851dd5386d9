#pragma once
// A source of one-second ticks for countdowns. The window uses a timer; tests
// put in a ticker they advance by hand, so that no test has to wait.

#include <functional>
#include <memory>

namespace pw {

class SecondTicker {
public:
    virtual ~SecondTicker() = default;
    // Calls onTick once a second until Stop (or the ticker's end). Starting a
    // running ticker restarts it.
    virtual void Start(std::function<void()> onTick) = 0;
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
};

using SecondTickerFactory = std::function<std::unique_ptr<SecondTicker>()>;

// A ticker driven by a wxTimer; ticks arrive as events on the GUI thread.
std::unique_ptr<SecondTicker> MakeTimerTicker();

// A new ticker from the factory in use: the timer one unless a test has put
// its own in place.
std::unique_ptr<SecondTicker> MakeSecondTicker();

// Replaces the factory that MakeSecondTicker uses; an empty one restores the
// timer ticker.
void SetSecondTickerFactoryForTesting(SecondTickerFactory factory);

}  // namespace pw
