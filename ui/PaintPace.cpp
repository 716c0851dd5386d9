#include "ui/PaintPace.h"

#include <algorithm>

namespace pw {

PaintPace::PaintPace(wxWindow* window, std::chrono::milliseconds interval) : m_window(window), m_interval(interval) {
    m_timer.Bind(wxEVT_TIMER, &PaintPace::OnTimer, this);
}

PaintPace::~PaintPace() { Release(); }

void PaintPace::Changed() {
    if (m_held)
        return;  // painted when the running interval ends
    const Clock::time_point now = Clock::now();
    const auto sinceLastPaint = now - m_lastPaint;
    if (sinceLastPaint >= m_interval) {
        m_lastPaint = now;
        return;
    }
    m_held = HoldPainting(m_window);
    if (!m_held)
        return;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_interval - sinceLastPaint);
    m_timer.StartOnce(static_cast<int>(std::max<long long>(1, left.count())));
}

void PaintPace::Release() {
    m_timer.Stop();
    if (!m_held)
        return;
    ReleasePainting(m_held);
    m_held = nullptr;
    m_lastPaint = Clock::now();
}

void PaintPace::OnTimer(wxTimerEvent&) { Release(); }

}  // namespace pw
