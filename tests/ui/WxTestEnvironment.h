#pragma once
// GUI test programs link this: the toolkit is started once before the first
// test and shut down after the last one, on the display the test runs on.

#include <wx/window.h>

#include <functional>

namespace pw::test {

// Handles pending events until the condition holds or the time is up;
// returns the condition's last value.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 3000);

// Handles the events that are waiting now.
void Pump();

// Waits until a shown top-level window stays where it is: a window manager
// places it after it is shown, so screen positions read before may not hold.
void WaitUntilPlaced(wxWindow* window);

}  // namespace pw::test
