#pragma once
// The batch observer of the command line: one status line per processed
// file on standard output, progress on standard error - a bar that redraws
// itself on a terminal, plain lines otherwise.

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "cli/ResultStream.h"
#include "engine/BatchObserver.h"

namespace pw::cli {

class ConsoleReporter final : public BatchObserver {
public:
    // paths: the files in list order, as the user gave them. progressBar:
    // whether err is a terminal.
    ConsoleReporter(std::vector<std::string> paths, FILE* out, FILE* err, bool progressBar);

    void OnProgress(int position) override;
    void OnItemStarted(int index) override;
    // A second status of a file (a merge whose file could not be put in
    // place reports its files again as "Failed") is a line of its own and
    // replaces the first in the counts.
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override;

    // Takes the bar off the terminal; called once the batch is over.
    void Finish();

    // Makes the status line of each file with writer instead of the tab
    // format (for --json). Set before the batch starts.
    using LineWriter = std::function<std::string(int index, const std::string& status, const std::string& reason)>;
    void SetLineWriter(LineWriter writer) { lineWriter_ = std::move(writer); }

    int Succeeded() const;
    int Failed() const;

    // Where the status lines went, and whether all of them got there.
    const ResultStream& lines() const { return out_; }

private:
    void ClearBar();
    void DrawBar();

    mutable std::mutex mutex_;
    std::vector<std::string> paths_;
    ResultStream out_;
    FILE* err_;
    bool progressBar_;
    LineWriter lineWriter_;
    bool barShown_ = false;
    int position_ = 0;
    int current_ = -1;
    std::vector<char> statuses_;  // per file: 0 none yet, 'S' success, 'F' failed
};

// A path or reason as a field of a tab-separated status line: a backslash
// becomes "\\", tab, line feed and carriage return "\t", "\n" and "\r", any
// other control character "\xHH"; every other byte stays as it is.
std::string EscapeField(const std::string& text);

// True when the stream is a terminal.
bool IsTerminal(FILE* stream);

}  // namespace pw::cli
