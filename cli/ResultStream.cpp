#include "cli/ResultStream.h"

#include <cerrno>
#include <cstring>

namespace pw::cli {

void ResultStream::WriteLine(const std::string& line)
{
    std::lock_guard<std::mutex> lock(mutex_);
    errno = 0;
    const bool written = std::fwrite(line.data(), 1, line.size(), out_) == line.size() &&
                         std::fputc('\n', out_) != EOF && std::fflush(out_) == 0;
    if (!written && error_ == 0)
        error_ = errno != 0 ? errno : EIO;
    if (!written)
        std::clearerr(out_);
}

bool ResultStream::Failed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return error_ != 0;
}

bool ResultStream::ReportFailure(FILE* err) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (error_ == 0)
        return false;
    std::fprintf(err, "pagewright-batch: result lines could not be written to standard output: %s\n",
                 std::strerror(error_));
    std::fflush(err);
    return true;
}

}  // namespace pw::cli
