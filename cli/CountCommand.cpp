#include <atomic>
#include <cstdio>

#include "cli/Commands.h"
#include "cli/FileResults.h"
#include "cli/JsonReport.h"
#include "engine/ParallelBatch.h"
#include "cli/ConsoleReporter.h"
#include "cli/ResultStream.h"
#include "pages/TiffPages.h"

namespace pw::cli {
namespace {

// "<pages><TAB><path>", or the JSON object, per file in list order.
class CountPrinter final : public BatchObserver {
public:
    CountPrinter(const std::vector<std::string>& files, bool json)
        : files_(files), pages_(files.size()), json_(json), out_(stdout)
    {
    }

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
            out_.WriteLine(JsonLine(record));
        } else {
            out_.WriteLine(std::to_string(pages_[i]) + "\t" + EscapeField(files_[i]));
        }
    }

    const ResultStream& lines() const { return out_; }

private:
    const std::vector<std::string>& files_;
    std::vector<int> pages_;
    bool json_;
    const FileResults* results_ = nullptr;
    ResultStream out_;
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
        std::string reason;
        const int pages = GetTiffPageCount(options.paths[i], &reason);
        printer.SetPages(i, pages);
        if (pages <= 0)
            allRead = false;
        results.OnItemStatus(static_cast<int>(i), pages > 0 ? "Success" : "Failed",
                             pages > 0 ? std::string() : reason);
    });
    results.Flush();
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    if (printer.lines().ReportFailure(stderr))
        return kExitFailure;
    return allRead ? kExitSuccess : kExitFailure;
}

}  // namespace pw::cli
