#pragma once
// The program's command-line arguments as UTF-8, whatever the system hands
// main: on Windows main's argv is in the ANSI code page, which cannot carry
// every file name, so the arguments are taken from the wide command line.

#include <string>
#include <vector>

namespace pw {

std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace pw
