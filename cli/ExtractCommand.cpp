#include <atomic>
#include <cstdio>

#include "cli/Commands.h"
#include "cli/ConsoleReporter.h"
#include "cli/FileRecords.h"
#include "cli/FileResults.h"
#include "engine/ParallelBatch.h"
#include "pages/ExtractNaming.h"
#include "pages/TiffPages.h"
#include "platform/Paths.h"

namespace pw::cli {

int RunExtractCommand(const CliOptions& options, SignalWatcher& signals)
{
    if (!IsFolder(options.out)) {
        std::fprintf(stderr, "pagewright-batch: the output folder %s does not exist\n", options.out.c_str());
        return kExitFailure;
    }
    const std::string& range = *options.pages;
    const size_t count = options.files.size();
    ConsoleReporter reporter(options.files, TakeStandardOutput(), stderr, IsTerminal(stderr));
    FileResults results(count, reporter);
    // Written by the file's worker before its status, read when it is printed.
    std::vector<std::string> outputs(count);
    if (options.json) {
        reporter.SetLineWriter([&](int index, const std::string& status, const std::string& reason) {
            FileRecord record;
            record.file = options.files[static_cast<size_t>(index)];
            record.status = status;
            record.reason = reason;
            record.seconds = results.SecondsOf(index);
            if (status == "Success") {
                record.outputs = {outputs[static_cast<size_t>(index)]};
                record.pages = CountPages(record.outputs[0]);
            }
            return JsonLine(record);
        });
    }

    std::atomic<size_t> started{0};
    ForEachEntryInParallel(count, WorkerCount(options.jobs), [&signals] { return signals.Received() != 0; },
                           [&](size_t i) {
        const std::string& source = options.files[i];
        const int index = static_cast<int>(i);
        results.OnProgress(static_cast<int>((99 + 100 * started.fetch_add(1)) / count));
        results.OnItemStarted(index);

        std::string reason;
        const std::string output = ExtractOutputPath(options.out, source, range, &reason);
        if (output.empty()) {
            results.OnItemStatus(index, "Failed", reason);
        } else if (!PathExists(source)) {
            results.OnItemStatus(index, "Failed", "source missing");
        } else if (ExtractPages(source, output, range.c_str()) != 1) {
            results.OnItemStatus(index, "Failed", "no page extracted into " + output);
        } else {
            outputs[i] = output;
            results.OnItemStatus(index, "Success", std::string());
        }
    });
    results.OnItemStarted(-1);
    results.Flush();
    reporter.Finish();
    if (signals.Received() != 0)
        return SignalWatcher::ExitStatusFor(signals.Received());
    return reporter.Failed() == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace pw::cli
