#include "tests/ui/RealInput.h"

#include "tests/ui/WxTestEnvironment.h"

#include <wx/window.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace pw::test {

namespace {

// Found once, at start: tests put stand-ins for the desktop's programs on
// PATH in place of everything else.
std::string FindXdotool() {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/xdotool";
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "xdotool";
}

const std::string kXdotool = FindXdotool();

}  // namespace

bool Xdotool(const std::string& arguments) { return std::system((kXdotool + " " + arguments).c_str()) == 0; }

void MovePointer(const wxPoint& screen) {
    if (wxGetMousePosition() == screen)
        return;
    // Not xdotool's own waiting (--sync), which loses the moves while the
    // program holds a pointer grab (an open drop-down list): the program's
    // events are handled until the pointer is there.
    Xdotool("mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y));
    WaitFor([&] { return wxGetMousePosition() == screen; }, 1000);
}

void GlidePointer(const wxPoint& screen) {
    // Relative moves go through the server's test extension like a mouse's
    // own; xdotool's absolute moves are warps, which GTK does not report
    // while the program holds the pointer (a drag, an open list).
    const int steps =
        std::clamp(std::max(std::abs(screen.x - wxGetMousePosition().x), std::abs(screen.y - wxGetMousePosition().y)) / 6,
                   1, 80);
    for (int i = 1; i <= steps; ++i) {
        const wxPoint at = wxGetMousePosition();
        const wxPoint step((screen.x - at.x) / (steps - i + 1), (screen.y - at.y) / (steps - i + 1));
        if (step == wxPoint(0, 0))
            continue;
        const wxPoint next = at + step;
        Xdotool("mousemove_relative -- " + std::to_string(step.x) + " " + std::to_string(step.y));
        WaitFor([&] { return wxGetMousePosition() == next; }, 1000);
        // A hand's moves come apart in time: GTK merges moves that come
        // together, and a button let go right after them would come first.
        WaitFor([] { return false; }, 20);
    }
    MovePointer(screen);
}

void Click(int button, const std::string& modifiers) {
    const std::string click = "click " + std::to_string(button);
    Xdotool(modifiers.empty() ? click : "keydown " + modifiers + " " + click + " keyup " + modifiers);
}

void PressButton(int button) { Xdotool("mousedown " + std::to_string(button)); }

void ReleaseButton(int button) { Xdotool("mouseup " + std::to_string(button)); }

void PressKeys(const std::string& keys) { Xdotool("key " + keys); }

}  // namespace pw::test
