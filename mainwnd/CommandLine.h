#pragma once
// The program's arguments and the scan of them at start-up.

#include <functional>
#include <string>
#include <vector>

namespace pw {

// Keeps the arguments as main received them (the program first), byte for
// byte, for the main window's command-line scan.
void SetProgramArguments(int argc, const char* const* argv);
const std::vector<std::string>& GetProgramArguments();

// What the scan asks of the window.
struct CommandLineHandlers {
    // "-add" or "-open" followed by a path: the path, unchecked.
    std::function<void(const std::string& path)> addExistingFile;
    // "-copyright": shows the notice and ends the program; should it come
    // back, the scan stops there all the same.
    std::function<void()> copyright;
};

// A switch the scan knows. Only these are acted on; the manual page lists
// exactly these.
struct CommandLineSwitch {
    enum class Action { AddFile, Copyright };
    const char* name;  // as written in help texts: "-add"
    Action action;     // AddFile takes the next argument as its path
};
const std::vector<CommandLineSwitch>& GetCommandLineSwitches();

// Walks args[1..]: "-add"/"-open" hand the next argument to addExistingFile
// and skip it (a trailing one is ignored), "-copyright" calls copyright and
// ends the scan, everything else is skipped. Switches are compared without
// regard to ASCII letter case. Returns 0 for fewer than two arguments, else 1.
int ScanCommandLine(const std::vector<std::string>& args, const CommandLineHandlers& handlers);

}  // namespace pw
