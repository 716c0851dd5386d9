#pragma once
// Opens documents and addresses with the desktop's programs without making
// the window wait: the desktop's opener may take a second or more to give
// its verdict on each target.

#include <functional>
#include <string>
#include <vector>

class wxWindow;

namespace pw {

// ShellOpen of each target, one after the other in the order given, on a
// thread of its own; returns at once. done, when given, runs afterwards on
// the window's thread with ShellOpen's result for each target, unless owner
// has been destroyed by then.
void OpenInBackground(std::vector<std::string> targets, wxWindow* owner = nullptr,
                      std::function<void(const std::vector<int>& results)> done = {});

}  // namespace pw
