#include "tests/ui/RealInput.h"

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
    Xdotool("mousemove --sync " + std::to_string(screen.x) + " " + std::to_string(screen.y));
}

void Click(int button, const std::string& modifiers) {
    const std::string click = "click " + std::to_string(button);
    Xdotool(modifiers.empty() ? click : "keydown " + modifiers + " " + click + " keyup " + modifiers);
}

void PressButton(int button) { Xdotool("mousedown " + std::to_string(button)); }

void ReleaseButton(int button) { Xdotool("mouseup " + std::to_string(button)); }

void PressKeys(const std::string& keys) { Xdotool("key " + keys); }

}  // namespace pw::test
