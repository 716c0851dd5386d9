#include <atomic>
#include <cstdio>

#include "cli/Commands.h"
#include "cli/ConsoleReporter.h"
#include "cli/FileRecords.h"
#include "cli/FileResults.h"
#include "engine/ParallelBatch.h"
#include "pages/ExtractPlan.h"
#include "pages/TiffPages.h"
#include "platform/Paths.h"
#include "platform/ProtectedFiles.h"

namespace pw::cli {

int RunExtractCommand(const CliOptions& options, SignalWatcher& signals)
{
    if (!IsFolder(options.out)) {
        std::fprintf(stderr, "pagewright-batch: the output folder %s does not exist\n", options.out.c_str());
        return kExitFailure;
    }
    const std::string& range = *options.pages;
    const ExtractPlan plan = PlanExtract(options.out, options.paths, range);
    if (!plan.ok) {
        std::fprintf(stderr, "pagewright-batch: %s\n", plan.error.c_str());
        return kExitFailure;
    }
    const size_t count = options.files.size();
    ConsoleReporter reporter(options.files, stdout, stderr, IsTerminal(stderr));
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

    // No extraction may take the place of another file's source.
    const ProtectedFiles sources(options.paths);
    std::atomic<size_t> started{0};
    ForEachEntryInParallel(count, WorkerCount(options.jobs), [&signals] { return signals.Received() != 0; },
                           [&](size_t i) {
        const std::string& source = options.paths[i];
        const int index = static_cast<int>(i);
        results.OnProgress(static_cast<int>((99 + 100 * started.fetch_add(1)) / count));
        results.OnItemStarted(index);

        ExtractControl control;
        // The failure line of a page must not come between the status lines.
        control.messages = stderr;
        control.stopRequested = [&signals] { return signals.Received() != 0; };
        const std::string& output = plan.outputs[i];
        if (output.empty()) {
            results.OnItemStatus(index, "Failed", plan.refusals[i]);
        } else if (!PathExists(source)) {
            results.OnItemStatus(index, "Failed", "source missing");
        } else if (ExtractPages(source, output, range.c_str(), control) != 1) {
            if (signals.Received() == 0)
                results.OnItemStatus(index, "Failed", control.reason);
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
    if (reporter.lines().ReportFailure(stderr))
        return kExitFailure;
    return reporter.Failed() == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace pw::cli
