#pragma once
// What the command line needs to know about the terminal it writes to.

#include <cstdio>

namespace pw::cli {

// The width of the terminal behind the stream in columns (at least 20), or 80
// when it is no terminal or cannot tell. IsTerminal is in ConsoleReporter.h.
int TerminalWidth(FILE* stream);

}  // namespace pw::cli
