#include "cli/ConsoleReporter.h"

#include <algorithm>

#include "cli/Terminal.h"

namespace pw::cli {

std::string EscapeField(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else if (byte < 0x20 || byte == 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            escaped += hex;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

ConsoleReporter::ConsoleReporter(std::vector<std::string> paths, FILE* out, FILE* err, bool progressBar)
    : paths_(std::move(paths)), out_(out), err_(err), progressBar_(progressBar), statuses_(paths_.size(), 0)
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
        std::fprintf(err_, "[%3d%%] %d/%zu %s\n", position_, index + 1, paths_.size(),
                     EscapeField(paths_[index]).c_str());
        std::fflush(err_);
    }
}

void ConsoleReporter::OnItemStatus(int index, const std::string& status, const std::string& reason)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 0 || static_cast<size_t>(index) >= paths_.size())
        return;
    statuses_[static_cast<size_t>(index)] = status == "Success" ? 'S' : 'F';
    const bool redraw = barShown_;
    ClearBar();
    std::string line = status;
    line += '\t';
    line += EscapeField(paths_[index]);
    if (!reason.empty()) {
        line += '\t';
        line += EscapeField(reason);
    }
    // --json and the like: their line instead of the tab line.
    if (lineWriter_)
        line = lineWriter_(index, status, reason);
    out_.WriteLine(line);
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
    return static_cast<int>(std::count(statuses_.begin(), statuses_.end(), 'S'));
}

int ConsoleReporter::Failed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(std::count(statuses_.begin(), statuses_.end(), 'F'));
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
    const std::string name = EscapeField(paths_[current_]);
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
