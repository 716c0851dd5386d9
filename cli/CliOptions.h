#pragma once
// The command line of pagewright-batch.

#include <optional>
#include <string>
#include <vector>

namespace pw::cli {

struct CliOptions {
    std::string command;                 // compress, merge, split, extract, info, count; empty: none
    std::string out;                     // --out
    std::optional<std::string> method;   // --method, a name from the compression table
    std::optional<bool> useCompression;  // --use-compression / --no-use-compression
    std::optional<std::string> name;     // --name
    std::optional<std::string> pages;    // --pages
    std::optional<std::string> engine;   // --engine: tools or builtin (merge, split); unset: "Engine"
    int jobs = 1;                        // --jobs: files at a time; 0 = one per core
    bool json = false;                   // --json: a JSON object per file instead of the tab lines
    bool trace = false;                  // --trace
    bool help = false;                   // --help (of the command, or of the program)
    std::vector<std::string> files;      // as given: what the result lines show
    std::vector<std::string> paths;      // the same files as the system takes them (UsablePath); set by main
};

// Reads argv into options. False, with the message in error, for a usage
// error; options.command is set as far as it was understood.
bool ParseCommandLine(int argc, const char* const* argv, CliOptions& options, std::string& error);

// The short usage of the program, and the help text of a command (the
// program's when the command is empty or unknown).
std::string UsageText();
std::string HelpText(const std::string& command);

}  // namespace pw::cli
