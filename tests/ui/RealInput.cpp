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
    // Steps of a few pixels: a control is crossed by several moves.
    const wxPoint from = wxGetMousePosition();
    const int steps = std::clamp(std::max(std::abs(screen.x - from.x), std::abs(screen.y - from.y)) / 6, 1, 80);
    for (int i = 1; i <= steps; ++i)
        MovePointer(wxPoint(from.x + (screen.x - from.x) * i / steps, from.y + (screen.y - from.y) * i / steps));
}

void Click(int button, const std::string& modifiers) {
    const std::string click = "click " + std::to_string(button);
    Xdotool(modifiers.empty() ? click : "keydown " + modifiers + " " + click + " keyup " + modifiers);
}

void PressButton(int button) { Xdotool("mousedown " + std::to_string(button)); }

void ReleaseButton(int button) { Xdotool("mouseup " + std::to_string(button)); }

void PressKeys(const std::string& keys) { Xdotool("key " + keys); }

}  // namespace pw::test
