#pragma once
// Where the running program lives. The engine finds its tools and its
// settings file beside the executable.

#include <string>

namespace pw {

// The full path of the running executable (links resolved), or "" when it
// cannot be read. Worked out once, at the first call: a file that replaces
// the executable later does not move the program.
std::string GetExecutablePath();

// Works the executable's path out now; called first thing at start-up.
void RememberExecutablePath();

// The folder of the running executable with its trailing separator, or ""
// when the executable's path cannot be read.
std::string GetProgramFolder();

// The running executable's path as the system tells it (no test override);
// each platform's sibling file answers it.
std::string SystemExecutablePath();

// Makes GetExecutablePath answer with the given path instead of the real
// one, so that tests can run the engine against a program folder of their
// own (with or without the tool links). An empty path restores the real one.
void SetExecutablePathForTesting(const std::string& path);

}  // namespace pw
