#pragma once
// The --json output of pagewright-batch: one JSON object per processed file,
// one to a line, for scripts and for collecting the results of many
// machines.

#include <string>
#include <vector>

namespace pw::cli {

struct FileRecord {
    std::string file;                  // the path as given
    std::string status;                // "Success" or "Failed"
    std::string reason;                // why it failed; empty on success
    std::vector<std::string> outputs;  // the files written for it
    int pages = 0;                     // pages written (count: pages counted)
    double seconds = 0;                // wall time spent on it
};

// The record as one line of JSON, without the line end. Keys in the order
// file, status, reason, outputs, pages, seconds.
std::string JsonLine(const FileRecord& record);

// A JSON string literal of the bytes. Valid UTF-8 goes as it is (control
// characters, quotes and backslashes escaped); a byte that is not part of
// valid UTF-8 becomes the escape \udcXX of that byte XX, which decoders
// that keep such bytes (Python's surrogateescape) turn back into the path.
std::string JsonString(const std::string& bytes);

// The format as the help and README.md describe it.
std::string JsonFormatText();

}  // namespace pw::cli
