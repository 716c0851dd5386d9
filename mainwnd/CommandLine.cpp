#include "mainwnd/CommandLine.h"

#include <cstddef>

namespace pw {

namespace {

std::vector<std::string>& ProgramArguments() {
    static std::vector<std::string> args;
    return args;
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return i == a.size() && !b[i];
}

}  // namespace

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
        if (EqualsIgnoringCase(args[i], "-add") || EqualsIgnoringCase(args[i], "-open")) {
            if (i + 1 < args.size()) {
                if (handlers.addExistingFile)
                    handlers.addExistingFile(args[i + 1]);
                ++i;
            }
        } else if (EqualsIgnoringCase(args[i], "-copyright")) {
            if (handlers.copyright)
                handlers.copyright();
            break;
        }
    }
    return 1;
}

}  // namespace pw
