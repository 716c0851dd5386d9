// pagewright-batch: Pagewright's batch jobs from the command line.

#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "cli/SignalWatcher.h"
#include "platform/DebugTrace.h"
#include "platform/Paths.h"
#include "platform/ProgramArguments.h"
#include "platform/ProgramFolder.h"
#include "platform/TempFiles.h"

int main(int argc, char** argv)
{
    using namespace pw::cli;
    // First of all, so that a stop asked for at any moment is taken as one.
    SignalWatcher signals;
    pw::RememberExecutablePath();
    const std::vector<std::string> arguments = pw::ProgramArguments(argc, argv);
    std::vector<const char*> args;
    for (const std::string& a : arguments)
        args.push_back(a.c_str());
    CliOptions options;
    std::string error;
    if (!ParseCommandLine(static_cast<int>(args.size()), args.data(), options, error)) {
        std::fprintf(stderr, "pagewright-batch: %s\n%s", error.c_str(), UsageText().c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(HelpText(options.command).c_str(), stdout);
        return kExitSuccess;
    }
    // A path too long for the system as given may fit once resolved.
    for (const std::string& file : options.files)
        options.paths.push_back(pw::UsablePath(file));
    if (!options.out.empty())
        options.out = pw::UsablePath(options.out);
    if (options.trace)
        pw::SetDebugTraceSink([](const std::string& text) { std::fputs(text.c_str(), stderr); });

    // A reader that goes away (| head) must not end the program in the middle
    // of a tool run; the batch finishes, and the lost lines make it end with
    // a failure and a word on standard error.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    pw::RemoveStaleTemporaries();
    // What escapes a command (from any of its worker threads, which hand it
    // on) ends the program with a failure and a word, not an abort.
    try {
        if (options.command == "extract")
            return RunExtractCommand(options, signals);
        if (options.command == "info")
            return RunInfoCommand(options, signals);
        if (options.command == "count")
            return RunCountCommand(options, signals);
        return RunBatchCommand(options, signals);
    } catch (const std::exception& e) {
        signals.SetAction(nullptr);  // it may name what the command had
        std::fprintf(stderr, "pagewright-batch: %s\n", e.what());
    } catch (...) {
        signals.SetAction(nullptr);
        std::fprintf(stderr, "pagewright-batch: an unknown error ended the command\n");
    }
    return kExitFailure;
}
