#include <atomic>
#include <cstdio>

#include "cli/Commands.h"
#include "cli/FileResults.h"
#include "cli/JsonReport.h"
#include "engine/ParallelBatch.h"
#include "cli/ConsoleReporter.h"
#include "pages/TiffPages.h"

namespace pw::cli {
namespace {

// "<pages><TAB><path>", or the JSON object, per file in list order.
class CountPrinter final : public BatchObserver {
public:
    CountPrinter(const std::vector<std::string>& files, bool json) : files_(files), pages_(files.size()), json_(json) {}

    void SetPages(size_t index, int pages) { pages_[index] = pages; }
    void SetResults(const FileResults* results) { results_ = results; }

    void OnProgress(int) override {}
    void OnItemStarted(int) override {}
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override
    {
        const size_t i = static_cast<size_t>(index);
        if (json_) {
            FileRecord record;
            record.file = files_[i];
            record.status = status;
            record.reason = reason;
            record.pages = pages_[i];
            record.seconds = results_ != nullptr ? results_->SecondsOf(index) : 0.0;
            std::printf("%s\n", JsonLine(record).c_str());
        } else {
            std::printf("%d\t%s\n", pages_[i], EscapeField(files_[i]).c_str());
        }
        std::fflush(stdout);
    }

private:
    const std::vector<std::string>& files_;
    std::vector<int> pages_;
    bool json_;
    const FileResults* results_ = nullptr;
};

}  // namespace

int RunCountCommand(const CliOptions& options, SignalWatcher& signals)
{
    CountPrinter printer(options.files, options.json);
    FileResults results(options.files.size(), printer);
    printer.SetResults(&results);
    std::atomic<bool> allRead{true};
    ForEachEntryInParallel(options.files.size(), WorkerCount(options.jobs),
                           [&signals] { return signals.Received() != 0; }, [&](size_t i) {
        results.OnItemStarted(static_cast<int>(i));
        const int pages = GetTiffPageCount(options.files[i]);
        printer.SetPages(i, pages);
        if (pages <= 0)
            allRead = false;
        results.OnItemStatus(static_cast<int>(i), pages > 0 ? "Success" : "Failed",
                             pages > 0 ? std::string() : "not a readable TIFF file");
    });
    results.Flush();
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    return allRead ? kExitSuccess : kExitFailure;
}

}  // namespace pw::cli
