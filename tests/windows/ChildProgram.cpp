// A tool stand-in for the process runner's tests on Windows:
//   child args A B ...     each argument on a line of its own (UTF-8)
//   child both             a line on standard output, then one on standard error
//   child zero             "before", a zero byte, "after"
//   child exit N           ends with status N
//   child sleep MS         writes "sleeping", then sleeps
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ProgramArguments.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> args = pw::ProgramArguments(argc, argv);
    if (args.size() < 2)
        return 2;
    const std::string& mode = args[1];
    if (mode == "args") {
        for (size_t i = 2; i < args.size(); ++i)
            std::printf("[%s]\n", args[i].c_str());
    } else if (mode == "both") {
        std::fputs("to stdout\n", stdout);
        std::fflush(stdout);
        std::fputs("to stderr\n", stderr);
    } else if (mode == "zero") {
        std::fwrite("before\0after", 1, 12, stdout);
    } else if (mode == "exit" && args.size() > 2) {
        return std::atoi(args[2].c_str());
    } else if (mode == "sleep" && args.size() > 2) {
        std::fputs("sleeping\n", stdout);
        std::fflush(stdout);
        ::Sleep(static_cast<DWORD>(std::atoi(args[2].c_str())));
    } else {
        return 2;
    }
    return 0;
}
