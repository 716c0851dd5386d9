// A 200-file merge through pagewright-batch against a plain shell loop of
// the same tool commands, and the cost of the batch worker itself per entry
// (with operations that do nothing).

#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/A4Corpus.h"
#include "bench/ProcessTimes.h"
#include "engine/BatchSession.h"
#include "engine/NoticeRelay.h"
#include "engine/ToolInvocations.h"
#include "platform/ProgramFolder.h"

using namespace pw::bench;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

struct Times {
    double wall = 0;
    double processor = 0;  // user + system of the program and every tool it ran
};

Times Spawn(const std::vector<std::string>& arguments)
{
    const ProcessTimes run = RunProcess(arguments);
    return {run.wall, run.processor};
}

void CliMergeBench(const std::string& cli)
{
    constexpr int kFiles = 200;
    const std::string tools = fs::path(cli).parent_path().string() + "/";
    const fs::path corpus = fs::temp_directory_path() / ("pagewright-cli-bench-" + std::to_string(::getpid()));
    fs::create_directories(corpus);
    const std::vector<std::string> files = WriteA4G4Files(corpus.string(), kFiles);
    if (files.empty()) {
        std::printf("cli     cannot write the corpus in %s\n", corpus.c_str());
        return;
    }
    // The files go in slices, the two loops taking turns (and turns about who
    // goes first), so that both see the same machine load; each slice is one
    // merge of its files into a fresh output, by either loop.
    constexpr int kSlices = 8;
    constexpr int kRounds = 3;
    const std::string viaCli = (corpus / "cli.tif").string();
    const std::string viaShell = (corpus / "shell.tif").string();
    const std::string viaCalls = (corpus / "calls.tif").string();
    std::vector<double> cliWall(kRounds, 0.0), shellWall(kRounds, 0.0), callsWall(kRounds, 0.0);
    double cliProcessor = 0.0, shellProcessor = 0.0;
    bool same = true;
    for (int round = 0; round < kRounds; ++round) {
        for (int slice = 0; slice < kSlices; ++slice) {
            const std::vector<std::string> part(files.begin() + slice * kFiles / kSlices,
                                                files.begin() + (slice + 1) * kFiles / kSlices);
            std::vector<std::string> cliCommand = {cli, "merge", "--no-use-compression", "--out", viaCli, "--"};
            cliCommand.insert(cliCommand.end(), part.begin(), part.end());
            std::string script = "rm -f '" + viaShell + "'; for f in";
            for (const std::string& file : part)
                script += " '" + file + "'";
            script += "; do '" + tools + "tiffinfo' \"$f\" >/dev/null 2>&1; '" + tools + "tiffcp' -a \"$f\" '" +
                      viaShell + "' >/dev/null 2>&1; done";
            const std::vector<std::string> shellCommand = {"/bin/sh", "-c", script};
            auto runCli = [&] {
                const Times times = Spawn(cliCommand);
                cliWall[round] += times.wall;
                cliProcessor += times.processor;
            };
            auto runShell = [&] {
                const Times times = Spawn(shellCommand);
                shellWall[round] += times.wall;
                shellProcessor += times.processor;
            };
            // The same tool runs made by MergeFile calls in this process:
            // what the program adds on top of them is the plan, the worker,
            // its notices and its own start.
            auto runCalls = [&] {
                fs::remove(viaCalls);
                const auto start = Clock::now();
                for (const std::string& file : part)
                    pw::MergeFile(file, viaCalls, "", "FALSE", "none");
                callsWall[round] += Seconds(Clock::now() - start);
            };
            if ((slice + round) % 2 == 0) {
                runShell();
                runCli();
                runCalls();
            } else {
                runCalls();
                runCli();
                runShell();
            }
            same = same && fs::exists(viaCli) && fs::file_size(viaCli) == fs::file_size(viaShell);
        }
    }
    const double c = Median(cliWall), s = Median(shellWall), k = Median(callsWall);
    std::printf("cli     merge of %d A4 300 dpi G4 files (%ju bytes each) in %d slices: pagewright-batch %.2f s, "
                "shell loop %.2f s, ratio %.3f (target <= 1.05), %+.2f ms per file; outputs %s\n",
                kFiles, static_cast<uintmax_t>(fs::file_size(files.front())), kSlices, c, s, c / s,
                (c - s) * 1e3 / kFiles, same ? "of equal size" : "DIFFER");
    std::printf("cli     the same MergeFile calls in process: %.2f s; pagewright-batch / calls %.3f, %+.2f ms per file\n",
                k, c / k, (c - k) * 1e3 / kFiles);
    std::printf("cli     processor time, tools included, all rounds: pagewright-batch %.2f s, shell loop %.2f s, "
                "ratio %.3f; wall rounds:", cliProcessor, shellProcessor, cliProcessor / shellProcessor);
    for (int round = 0; round < kRounds; ++round)
        std::printf(" %.2f/%.2f", cliWall[round], shellWall[round]);
    std::printf(" s (pagewright-batch/shell, median counts)\n");
    fs::remove_all(corpus);
}

class NoOperations final : public pw::BatchOperations {
public:
    bool Compress(const std::string&, const std::string&, const std::string&, const std::string&, pw::StopSignal*,
                  pw::ToolOutcome*) override
    {
        return true;
    }
    bool Merge(const std::string&, const std::string&, const std::string&, const std::string&, const std::string&,
               pw::StopSignal*, pw::ToolOutcome*) override
    {
        return true;
    }
    bool Split(const std::string&, const std::string&, pw::StopSignal*, pw::ToolOutcome*) override { return true; }
};

class CountingObserver final : public pw::BatchObserver {
public:
    void OnProgress(int) override { ++notices; }
    void OnItemStarted(int) override { ++notices; }
    void OnItemStatus(int, const std::string&, const std::string&) override { ++notices; }
    long notices = 0;
};

// A thread that runs posted tasks, standing in for the window's.
class TaskThread {
public:
    TaskThread() : thread_([this] { Loop(); }) {}
    ~TaskThread()
    {
        Post(nullptr);
        thread_.join();
    }
    void Post(std::function<void()> task)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
        ready_.notify_one();
    }

private:
    void Loop()
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [this] { return !tasks_.empty(); });
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            if (!task)
                return;
            task();
        }
    }
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
    std::thread thread_;
};

double WorkerSecondsPerEntry(int entries, bool relayed)
{
    pw::BatchJob job;
    for (int i = 0; i < entries; ++i) {
        job.sources.push_back("/in/file" + std::to_string(i) + ".tif");
        job.outputs.push_back("/out/file" + std::to_string(i) + ".tif");
        job.compressionArguments.push_back("\"-c\" \"lzw\"");
    }
    NoOperations operations;
    CountingObserver counter;
    TaskThread window;
    pw::NoticeRelay relay([&window](std::function<void()> task) { window.Post(std::move(task)); });
    pw::BatchSession session;
    session.SetCurrentOperation("Compress");
    const auto start = Clock::now();
    session.Start(std::move(job), counter, operations, relayed ? relay.Carrier() : pw::BatchSession::NoticeCarrier());
    session.WaitUntilIdle();
    const double seconds = Seconds(Clock::now() - start);
    if (counter.notices != 3L * entries + 1)
        std::printf("worker  WRONG notice count %ld\n", counter.notices);
    return seconds / entries;
}

void WorkerBench()
{
    constexpr int kEntries = 100000;
    std::vector<double> direct, relayed;
    for (int round = 0; round < 3; ++round) {
        direct.push_back(WorkerSecondsPerEntry(kEntries, false));
        relayed.push_back(WorkerSecondsPerEntry(kEntries / 10, true));
    }
    std::printf("worker  per entry with operations that do nothing: %.2f us with notices on the worker thread, "
                "%.2f us with the notices handed to another thread (%d / %d entries, median of 3)\n",
                Median(direct) * 1e6, Median(relayed) * 1e6, kEntries, kEntries / 10);
}

}  // namespace

int main()
{
    TIFFSetWarningHandler(nullptr);
    // The in-process calls use the tools beside pagewright-batch.
    pw::SetExecutablePathForTesting(PAGEWRIGHT_BATCH_EXE);
    CliMergeBench(PAGEWRIGHT_BATCH_EXE);
    WorkerBench();
    return 0;
}
