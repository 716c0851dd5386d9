#pragma once
// A diagnostic trace for developers: silent unless a front end installs a
// sink (the window routes it to its log's trace mask, the command line to
// standard error with --trace).

#include <functional>
#include <string>

namespace pw {

using DebugTraceSink = std::function<void(const std::string&)>;

// Replaces the sink; an empty function silences the trace again.
void SetDebugTraceSink(DebugTraceSink sink);

// Hands the text to the sink, if there is one. Safe from any thread.
void DebugTrace(const std::string& text);

}  // namespace pw
