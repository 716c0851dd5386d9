#pragma once
// Standard output as the place of the result lines: each line is written
// and flushed at once, and a line that cannot be written (a full disk,
// /dev/full, a reader that went away) is remembered, so that the program
// can say so and end with a failure instead of losing lines silently.

#include <cstdio>
#include <mutex>
#include <string>

namespace pw::cli {

class ResultStream {
public:
    explicit ResultStream(FILE* out) : out_(out) {}

    // Writes the line and a line feed.
    void WriteLine(const std::string& line);

    // True once a line could not be written.
    bool Failed() const;

    // Says on err, once, that result lines were lost and why; true when it
    // did (the program then ends with a failure).
    bool ReportFailure(FILE* err) const;

private:
    mutable std::mutex mutex_;
    FILE* out_;
    int error_ = 0;  // errno of the first failed write
};

}  // namespace pw::cli
