#include "cli/FileResults.h"

namespace pw::cli {

FileResults::FileResults(size_t count, BatchObserver& console)
    : console_(console), started_(count), seconds_(count, 0.0), held_(count)
{
}

void FileResults::OnProgress(int position)
{
    std::lock_guard<std::mutex> lock(mutex_);
    console_.OnProgress(position);
}

void FileResults::OnItemStarted(int index)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= 0 && static_cast<size_t>(index) < started_.size())
        started_[static_cast<size_t>(index)] = Clock::now();
    console_.OnItemStarted(index);
}

void FileResults::OnItemStatus(int index, const std::string& status, const std::string& reason)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 0 || static_cast<size_t>(index) >= held_.size())
        return;
    const size_t i = static_cast<size_t>(index);
    if (i < next_) {
        // A later word on a file whose status went out already (a merge
        // that could not put its file in place): passed on at once.
        console_.OnItemStatus(index, status, reason);
        return;
    }
    seconds_[i] = std::chrono::duration<double>(Clock::now() - started_[i]).count();
    held_[i] = Status{status, reason};
    while (next_ < held_.size() && held_[next_])
        Release(next_++);
}

void FileResults::Flush()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (; next_ < held_.size(); ++next_) {
        if (held_[next_])
            Release(next_);
    }
}

double FileResults::SecondsOf(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < seconds_.size() ? seconds_[static_cast<size_t>(index)] : 0.0;
}

void FileResults::Release(size_t index)
{
    const Status status = std::move(*held_[index]);
    held_[index].reset();
    console_.OnItemStatus(static_cast<int>(index), status.status, status.reason);
}

}  // namespace pw::cli
