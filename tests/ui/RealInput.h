#pragma once
// A user's input through the display server (xdotool, which goes through
// the server's test extension): pointer moves, clicks, drags and keys reach
// the program exactly as a person's would, window manager included. Each
// call returns once the server has the input (pointer moves: once the
// program has seen the pointer there); the test then handles events
// (test::WaitFor) to let the program act on it.

#include <wx/gdicmn.h>

#include <string>

namespace pw::test {

// Runs xdotool with the arguments; false when it failed or is missing.
bool Xdotool(const std::string& arguments);

// Puts the pointer there in one jump, handling the program's events until
// it is there: the window beneath learns of it by the pointer's entering.
void MovePointer(const wxPoint& screen);
// Moves the pointer there from where it is in steps of a few pixels, as a
// hand does.
void GlidePointer(const wxPoint& screen);
// A click of the button (1 left, 3 right) where the pointer is, holding the
// modifier keys given (xdotool names, "ctrl", "shift+ctrl"), if any.
void Click(int button = 1, const std::string& modifiers = std::string());
void PressButton(int button = 1);
void ReleaseButton(int button = 1);
// Keys by their xdotool names ("Delete", "ctrl+a", "KP_Enter").
void PressKeys(const std::string& keys);

}  // namespace pw::test
