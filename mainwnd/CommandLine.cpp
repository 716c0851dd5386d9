#include "mainwnd/CommandLine.h"

#include <cstddef>

#include "platform/AsciiText.h"

namespace pw {

namespace {

std::vector<std::string>& ProgramArguments() {
    static std::vector<std::string> args;
    return args;
}

const CommandLineSwitch* FindSwitch(const std::string& argument) {
    for (const CommandLineSwitch& known : GetCommandLineSwitches()) {
        if (EqualsIgnoringAsciiCase(argument, known.name))
            return &known;
    }
    return nullptr;
}

}  // namespace

const std::vector<CommandLineSwitch>& GetCommandLineSwitches() {
    static const std::vector<CommandLineSwitch> switches = {
        {"-add", CommandLineSwitch::Action::AddFile},
        {"-open", CommandLineSwitch::Action::AddFile},
        {"-copyright", CommandLineSwitch::Action::Copyright},
    };
    return switches;
}

void SetProgramArguments(int argc, const char* const* argv) {
    auto& args = ProgramArguments();
    args.clear();
    for (int i = 0; i < argc && argv && argv[i]; ++i)
        args.emplace_back(argv[i]);
}

const std::vector<std::string>& GetProgramArguments() { return ProgramArguments(); }

int ScanCommandLine(const std::vector<std::string>& args, const CommandLineHandlers& handlers) {
    if (args.size() < 2)
        return 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const CommandLineSwitch* known = FindSwitch(args[i]);
        if (known == nullptr)
            continue;
        if (known->action == CommandLineSwitch::Action::AddFile) {
            if (i + 1 < args.size()) {
                if (handlers.addExistingFile)
                    handlers.addExistingFile(args[i + 1]);
                ++i;
            }
        } else {
            if (handlers.copyright)
                handlers.copyright();
            break;
        }
    }
    return 1;
}

}  // namespace pw
