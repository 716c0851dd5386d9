#pragma once
// The standard output of a command of the desktop's tools (xdotool, xprop,
// a screen reader's script), read whole.

#include <cstdio>
#include <string>

namespace pw::test {

inline std::string CommandOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        ::pclose(pipe);
    }
    return text;
}

}  // namespace pw::test
