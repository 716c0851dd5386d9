#include "cli/CliOptions.h"

#include <algorithm>
#include <array>

#include "cli/JsonReport.h"
#include "settings/CompressionMethod.h"

namespace pw::cli {
namespace {

struct CommandSpec {
    const char* name;
    std::vector<std::string> options;  // value options and flags it takes
    const char* synopsis;
    const char* description;
};

const std::array<CommandSpec, 6>& Commands()
{
    static const std::array<CommandSpec, 6> commands = {{
        {"compress", {"--out", "--method", "--jobs", "--json"},
         "pagewright-batch compress --out DIR  [--method none|lzw|zip|packbits|g3|g4] [--jobs N] [--json] FILE...",
         "Writes each FILE recompressed into DIR as <base name>.tif. The method comes\n"
         "from \"CompressMethod\" in Pagewright.ini unless --method gives it for this run.\n"
         "--jobs N works on N files at a time (0: one per processor core). Refused when\n"
         "one FILE's output would be another FILE, or two FILEs would have the same\n"
         "output; a FILE may be replaced by its own output."},
        {"merge", {"--out", "--method", "--use-compression", "--no-use-compression", "--engine", "--json"},
         "pagewright-batch merge    --out FILE [--method M] [--use-compression] [--engine builtin|tools] [--json] FILE...",
         "Appends every FILE, in the order given, to the new multi-page file FILE given\n"
         "with --out. The pages are gathered beside it and replace an existing file of\n"
         "that name once at least one FILE was merged (also after a stop); otherwise\n"
         "the old file stays as it was. --use-compression or --no-use-compression\n"
         "override \"UseCompressMethod\" for this run; --method overrides\n"
         "\"CompressMethod\". The output may not be one of the inputs, nor a file another\n"
         "batch is writing.\n"
         "The builtin engine copies the pages' stored data without running tiffcp:\n"
         "the same pixels, JPEG pages not re-encoded, much faster. A file it cannot\n"
         "copy as stored (the merge recompresses it, or a page is in a scheme libtiff\n"
         "only reads) goes through tiffcp; a note at the end names those files.\n"
         "--engine overrides \"Engine\" (builtin when unset) for this run."},
        {"split", {"--out", "--name", "--engine", "--jobs", "--json"},
         "pagewright-batch split    --out DIR  [--name RULE] [--engine builtin|tools] [--jobs N] [--json] FILE...",
         "Splits each FILE into single-page files in its own folder DIR/<RULE>_<n>\n"
         "(n counts the files from 1), which is emptied first. RULE comes from \"Name\"\n"
         "in Pagewright.ini unless --name gives it; without one, the file's base name\n"
         "is used. The builtin engine copies the pages' stored data without running\n"
         "tiffsplit (same page-file names); --engine overrides \"Engine\" (builtin\n"
         "when unset) for this run. --jobs N splits N files at a time."},
        {"extract", {"--out", "--pages", "--jobs", "--json"},
         "pagewright-batch extract  --out DIR  --pages RANGE [--jobs N] [--json] FILE...",
         "Copies the pages RANGE selects out of each FILE into\n"
         "DIR/<base name>-<RANGE without blanks><extension>. RANGE is a page list such\n"
         "as \"1-3, 7\", \"-5\", \"30-\", \"even\" or \"odd\". An existing file of that\n"
         "name is replaced only when the extraction succeeds. Refused when an output\n"
         "would be another FILE, or two FILEs would have the same output. --jobs N\n"
         "works on N files at a time."},
        {"info", {},
         "pagewright-batch info     FILE",
         "Prints the tiffinfo report of FILE as the tool writes it."},
        {"count", {"--jobs", "--json"},
         "pagewright-batch count    [--jobs N] [--json] FILE...",
         "Prints \"<pages><TAB><path>\" for each FILE (0 when it is not a readable TIFF)."},
    }};
    return commands;
}

const CommandSpec* FindCommand(const std::string& name)
{
    for (const CommandSpec& command : Commands()) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

bool TakesValue(const std::string& option)
{
    return option == "--out" || option == "--method" || option == "--name" || option == "--pages" ||
           option == "--engine" || option == "--jobs";
}

bool IsKnownOption(const std::string& option)
{
    return TakesValue(option) || option == "--use-compression" || option == "--no-use-compression" ||
           option == "--json";
}

// A count of files at a time: 0 to 1024, digits only.
bool ParseJobs(const std::string& text, int& jobs)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    jobs = std::stoi(text);
    return jobs <= 1024;
}

}  // namespace

std::string UsageText()
{
    std::string text = "usage:\n";
    for (const CommandSpec& command : Commands())
        text += std::string("  ") + command.synopsis + "\n";
    text += "  pagewright-batch COMMAND --help\n";
    return text;
}

std::string HelpText(const std::string& name)
{
    const CommandSpec* command = FindCommand(name);
    if (command == nullptr) {
        return UsageText() +
               "\nRuns Pagewright's batch jobs without the window. Each processed file gets one\n"
               "line on standard output, \"Success<TAB><path>\" or \"Failed<TAB><path><TAB><reason>\";\n"
               "progress goes to standard error. In these lines a backslash in a path or\n"
               "reason is written as \\\\, a tab, line feed and carriage return as \\t, \\n\n"
               "and \\r, and any other control character as \\xHH (two hex digits).\n"
               "\nCommon options:\n"
               "  --json    one JSON object per file on standard output instead of the\n"
               "            tab lines (compress, merge, split, extract, count)\n"
               "  --jobs N  work on N files at a time, 0: one per processor core (compress,\n"
               "            split, extract, count; results still come in the order given)\n"
               "  --engine builtin|tools\n"
               "            merge and split by copying the pages' stored data (builtin), or\n"
               "            with tiffcp and tiffsplit (tools); default: \"Engine\" in\n"
               "            Pagewright.ini, as the window does, builtin when unset\n"
               "  --trace   write the tool command lines to standard error\n"
               "  --help    show the help of a command\n"
               "  --        end of options: every later argument is a FILE\n"
               "\nExit status: 0 when every file succeeded, 1 when one failed, 2 for a usage\n"
               "error, 129, 130 or 143 when stopped by SIGHUP, SIGINT or SIGTERM.\n" +
               JsonFormatText();
    }
    std::string text = std::string("usage: ") + command->synopsis + "\n\n" + command->description +
                       "\n\nOptions: --trace shows the tool command lines; -- ends the options.\n";
    if (std::find(command->options.begin(), command->options.end(), "--json") != command->options.end())
        text += JsonFormatText();
    return text;
}

bool ParseCommandLine(int argc, const char* const* argv, CliOptions& options, std::string& error)
{
    options = CliOptions();
    if (argc < 2) {
        error = "no command given";
        return false;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        options.help = true;
        return true;
    }
    const CommandSpec* command = FindCommand(first);
    if (command == nullptr) {
        error = "unknown command '" + first + "'";
        return false;
    }
    options.command = first;

    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        std::string argument = argv[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            options.files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        if (argument == "--trace") {
            options.trace = true;
            continue;
        }
        std::optional<std::string> value;
        if (const size_t equals = argument.find('='); equals != std::string::npos && argument.rfind("--", 0) == 0) {
            value = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
        }
        if (!IsKnownOption(argument)) {
            error = "unknown option '" + argument + "'";
            return false;
        }
        if (std::find(command->options.begin(), command->options.end(), argument) == command->options.end()) {
            error = "option " + argument + " does not apply to " + options.command;
            return false;
        }
        if (TakesValue(argument) && !value) {
            if (i + 1 >= argc) {
                error = "option " + argument + " needs a value";
                return false;
            }
            value = argv[++i];
        } else if (!TakesValue(argument) && value) {
            error = "option " + argument + " takes no value";
            return false;
        }
        if (argument == "--out") {
            options.out = *value;
        } else if (argument == "--method") {
            if (FindCompressionMethod(*value) == nullptr) {
                error = "unknown method '" + *value + "' (none, lzw, zip, packbits, g3 or g4)";
                return false;
            }
            options.method = *value;
        } else if (argument == "--name") {
            options.name = *value;
        } else if (argument == "--pages") {
            options.pages = *value;
        } else if (argument == "--engine") {
            if (*value != "builtin" && *value != "tools") {
                error = "unknown engine '" + *value + "' (builtin or tools)";
                return false;
            }
            options.engine = *value;
        } else if (argument == "--jobs") {
            if (!ParseJobs(*value, options.jobs)) {
                error = "--jobs needs a number of files from 0 to 1024, not '" + *value + "'";
                return false;
            }
        } else if (argument == "--json") {
            options.json = true;
        } else {
            options.useCompression = argument == "--use-compression";
        }
    }
    if (options.help)
        return true;

    const bool needsOut = options.command != "info" && options.command != "count";
    if (needsOut && options.out.empty()) {
        error = options.command + " needs --out";
        return false;
    }
    if (options.command == "extract" && (!options.pages || options.pages->empty())) {
        error = "extract needs --pages with a page range";
        return false;
    }
    if (options.files.empty()) {
        error = options.command + " needs at least one FILE";
        return false;
    }
    if (options.command == "info" && options.files.size() != 1) {
        error = "info takes exactly one FILE";
        return false;
    }
    return true;
}

}  // namespace pw::cli
