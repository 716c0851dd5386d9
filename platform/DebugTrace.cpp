#include "platform/DebugTrace.h"

#include <mutex>

namespace pw {
namespace {

std::mutex g_mutex;
DebugTraceSink g_sink;

}  // namespace

void SetDebugTraceSink(DebugTraceSink sink)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_sink = std::move(sink);
}

void DebugTrace(const std::string& text)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_sink)
        g_sink(text);
}

}  // namespace pw
