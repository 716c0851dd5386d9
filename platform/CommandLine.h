#pragma once
// A tool's command line: the one text that the trace shows, and the
// arguments the program receives.

#include <string>
#include <vector>

namespace pw {

// A command line ready to run: `text` is what the trace shows, `arguments`
// what the program gets (arguments[0] names the program). For a line built
// from text alone, arguments is SplitCommandLine(text).
struct CommandLine {
    std::string text;
    std::vector<std::string> arguments;
};

// One piece of a command line under construction. Ordinary pieces are read by
// the splitting rule (blanks separate, double quotes group); a verbatim piece
// is carried character for character into the argument it stands in, so that
// a file name can never end an argument, open a quoted stretch or add one.
struct CommandPiece {
    std::string text;
    bool verbatim = false;
};

// The arguments a Windows program receives for the command line, by the rule
// the tools' command lines are written for: blanks (space, tab) separate
// arguments; a double quote starts or ends a quoted stretch and is not part
// of the argument (so "" alone is an empty argument); the first argument,
// the program, ends at its closing quote even when no blank follows it.
// Backslashes have no special meaning: on this platform they are ordinary
// file-name characters.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The same rule over pieces; verbatim pieces are never interpreted.
std::vector<std::string> SplitCommandPieces(const std::vector<CommandPiece>& pieces);

}  // namespace pw
