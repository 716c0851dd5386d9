#include "tests/ui/RealInput.h"

#include <cstdlib>
#include <string>

namespace pw::test {

bool Xdotool(const std::string& arguments) { return std::system(("xdotool " + arguments).c_str()) == 0; }

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
