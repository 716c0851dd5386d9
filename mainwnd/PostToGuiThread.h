#pragma once
// Hands a task from any thread to the window's thread.

#include <functional>

namespace pw {

// Runs the task soon on the thread that runs the windows' event loop, after
// the input waiting there and before the next repaint. Callable from any
// thread; a task posted after the loop has ended never runs.
void PostToGuiThread(std::function<void()> task);

}  // namespace pw
