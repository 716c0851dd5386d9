#pragma once
// Stands between a batch and the console: takes the notices of files that
// may finish in any order (several workers at once), keeps the time each
// file took, and hands the statuses on in list order.

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/BatchObserver.h"

namespace pw::cli {

class FileResults final : public BatchObserver {
public:
    FileResults(size_t count, BatchObserver& console);

    // Passed on at once.
    void OnProgress(int position) override;
    void OnItemStarted(int index) override;
    // Passed on once every earlier file's status has been; a second status
    // of a file whose first was passed on already goes on at once.
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override;

    // Passes on, in list order, the statuses still held back behind a file
    // that never reported one (it was running when the batch was stopped).
    void Flush();

    // The seconds file index took, from its start to its status. Readable
    // from the console's OnItemStatus of that file on.
    double SecondsOf(int index) const;

private:
    struct Status {
        std::string status;
        std::string reason;
    };
    void Release(size_t index);

    using Clock = std::chrono::steady_clock;
    std::mutex mutex_;
    BatchObserver& console_;
    std::vector<Clock::time_point> started_;
    std::vector<double> seconds_;
    std::vector<std::optional<Status>> held_;
    size_t next_ = 0;  // the first file whose status has not been passed on
};

}  // namespace pw::cli
