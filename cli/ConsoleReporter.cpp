#include "cli/ConsoleReporter.h"

#include <algorithm>

#include "cli/Terminal.h"

namespace pw::cli {
namespace {

// Status lines are read line by line: a reason never breaks one.
std::string OneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    }
    return text;
}

}  // namespace

ConsoleReporter::ConsoleReporter(std::vector<std::string> paths, FILE* out, FILE* err, bool progressBar)
    : paths_(std::move(paths)), out_(out), err_(err), progressBar_(progressBar)
{
}

void ConsoleReporter::OnProgress(int position)
{
    std::lock_guard<std::mutex> lock(mutex_);
    position_ = position;
}

void ConsoleReporter::OnItemStarted(int index)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 0 || static_cast<size_t>(index) >= paths_.size())
        return;
    current_ = index;
    if (progressBar_) {
        DrawBar();
    } else {
        std::fprintf(err_, "[%3d%%] %d/%zu %s\n", position_, index + 1, paths_.size(), paths_[index].c_str());
        std::fflush(err_);
    }
}

void ConsoleReporter::OnItemStatus(int index, const std::string& status, const std::string& reason)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 0 || static_cast<size_t>(index) >= paths_.size())
        return;
    if (status == "Success")
        ++succeeded_;
    else
        ++failed_;
    const bool redraw = barShown_;
    ClearBar();
    std::string line = status;
    line += '\t';
    line += paths_[index];
    if (!reason.empty()) {
        line += '\t';
        line += OneLine(reason);
    }
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
    if (redraw)
        DrawBar();
}

void ConsoleReporter::Finish()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ClearBar();
}

int ConsoleReporter::Succeeded() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return succeeded_;
}

int ConsoleReporter::Failed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

void ConsoleReporter::ClearBar()
{
    if (!barShown_)
        return;
    std::fputs("\r\033[K", err_);
    std::fflush(err_);
    barShown_ = false;
}

void ConsoleReporter::DrawBar()
{
    if (current_ < 0)
        return;
    constexpr int kBarCells = 24;
    const int filled = std::clamp(position_, 0, 100) * kBarCells / 100;
    std::string line(1, '[');
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(kBarCells - filled), '-');
    char counts[64];
    std::snprintf(counts, sizeof counts, "] %3d%% %d/%zu ", position_, current_ + 1, paths_.size());
    line += counts;
    const size_t room = static_cast<size_t>(TerminalWidth(err_) - 1);
    const std::string& name = paths_[current_];
    if (line.size() + name.size() > room) {
        // Keep the end of a long path: the file name matters most.
        const size_t keep = room > line.size() + 3 ? room - line.size() - 3 : 0;
        line += "...";
        line.append(name, name.size() - std::min(keep, name.size()), std::string::npos);
    } else {
        line += name;
    }
    std::fprintf(err_, "\r\033[K%s", line.c_str());
    std::fflush(err_);
    barShown_ = true;
}

}  // namespace pw::cli
