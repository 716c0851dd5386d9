#pragma once
// Lets the window handle what is waiting for it in the middle of a long
// operation on its own thread.

namespace pw {

// Handles the native events waiting now (input, paint, timers; at most a
// few hundred, as a batch's notices can keep coming) and every event queued
// for the toolkit (deferred calls, notices from other threads), then
// returns; it does not wait for more. Idle-time work is left for the
// event loop: running it after each step would make controls recompute their
// layout every time. A call made while another one is handling events
// returns at once, so nested operations cannot nest event handling without
// end.
void DispatchWaitingEvents();

}  // namespace pw
