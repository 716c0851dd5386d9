#pragma once
// Keeps a window that changes faster than anyone can follow from repainting
// at every change: a change reported within the interval after the last
// repaint is held back and painted, with whatever follows it, when the
// interval is over. Only painting waits; input, timers and the window's
// state are not held.

#include <wx/timer.h>

#include <chrono>

class wxWindow;

namespace pw {

class PaintPace {
public:
    // window: any window; its top-level window is the one paced.
    PaintPace(wxWindow* window, std::chrono::milliseconds interval);
    // Paints what is held back.
    ~PaintPace();
    PaintPace(const PaintPace&) = delete;
    PaintPace& operator=(const PaintPace&) = delete;

    // The window has just changed: paint now or at the end of the interval.
    void Changed();
    // Paint what is held back now; the next change paints at once.
    void Release();
    bool IsHolding() const { return m_held != nullptr; }

private:
    using Clock = std::chrono::steady_clock;
    void OnTimer(wxTimerEvent& event);

    wxWindow* m_window;
    std::chrono::milliseconds m_interval;
    wxTimer m_timer;
    Clock::time_point m_lastPaint{};
    void* m_held = nullptr;  // the toolkit's window whose painting is held
};

// The toolkit's side: hold the painting of window's top-level window and
// let it go again. HoldPainting returns null when it cannot hold.
void* HoldPainting(wxWindow* window);
void ReleasePainting(void* held);

}  // namespace pw
