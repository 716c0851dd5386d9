#pragma once
// The program's one help routine, and the keys and buttons that reach it.

namespace pw {

// Opens the program's home page through the desktop.
void OpenProgramHelp();

// From now on F1 in any of the program's own windows (the main window, its
// dialogs, its message boxes) and the message box's Help button open the
// program's help. Called once at start-up; a second call changes nothing.
void InstallProgramHelp();

}  // namespace pw
