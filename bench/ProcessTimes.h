#pragma once
// Runs a program as the benchmarks measure it: standard output and error
// thrown away, the wall time, the processor time of the program and of
// every process it ran, and its peak resident size.

#include <string>
#include <vector>

namespace pw::bench {

struct ProcessTimes {
    double wall = 0;       // seconds
    double processor = 0;  // user + system seconds, children included
    long peakKb = 0;       // largest resident size of the program or a child it waited for
    int status = -1;       // exit status
};

// arguments[0] is the program's path.
ProcessTimes RunProcess(const std::vector<std::string>& arguments);

}  // namespace pw::bench
