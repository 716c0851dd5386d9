// Cost of a tool run through RunAndCapture against a bare spawn, and of a
// merge through MergeFile against a plain shell loop running the same tools.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/A4Corpus.h"
#include "engine/ToolInvocations.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramFolder.h"

extern char** environ;

using namespace pw::bench;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double SpawnAndWait(const char* program)
{
    const auto start = Clock::now();
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid;
    if (::posix_spawn(&pid, program, nullptr, nullptr, argv, environ) == 0) {
        int status;
        ::waitpid(pid, &status, 0);
    }
    return Seconds(Clock::now() - start);
}

double RunThroughRunner(const char* program)
{
    const auto start = Clock::now();
    std::string output;
    pw::RunAndCapture(std::string("\"") + program + "\"", output);
    return Seconds(Clock::now() - start);
}

void EmptyProgramBench()
{
    const char* program = "/bin/true";
    constexpr int kRuns = 500;
    std::vector<double> bare, runner;
    for (int i = 0; i < 20; ++i) {  // warm the caches
        SpawnAndWait(program);
        RunThroughRunner(program);
    }
    // Interleaved, so that both see the same machine load.
    for (int i = 0; i < kRuns; ++i) {
        bare.push_back(SpawnAndWait(program));
        runner.push_back(RunThroughRunner(program));
    }
    const double b = Median(bare), r = Median(runner);
    std::printf("runner  %s: RunAndCapture median %.1f us, posix_spawn+waitpid median %.1f us, ratio %.2f (target <= 1.50) over %d runs each\n",
                program, r * 1e6, b * 1e6, r / b, kRuns);
}

// Processor time used so far by this process and by its reaped children.
double CpuSeconds(int who)
{
    rusage usage;
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double CpuTotal()
{
    return CpuSeconds(RUSAGE_SELF) + CpuSeconds(RUSAGE_CHILDREN);
}

// The plain loop: the same two commands per file from a shell.
double ShellLoop(const std::string& folder, const std::vector<std::string>& files, const std::string& out)
{
    std::string script = "for f in";
    for (const auto& f : files)
        script += " '" + f + "'";
    script += "; do '" + folder + "tiffinfo' \"$f\" >/dev/null 2>&1; '" + folder + "tiffcp' -a \"$f\" '" + out + "'; done";
    const auto start = Clock::now();
    char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), script.data(), nullptr};
    pid_t pid;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) == 0) {
        int status;
        ::waitpid(pid, &status, 0);
    }
    return Seconds(Clock::now() - start);
}

double MergeLoop(const std::vector<std::string>& files, const std::string& out, int& failures)
{
    const auto start = Clock::now();
    for (const auto& f : files) {
        if (!pw::MergeFile(f, out, "", "FALSE", "none"))
            ++failures;
    }
    return Seconds(Clock::now() - start);
}

void MergeBench()
{
    constexpr int kFiles = 200;
    constexpr int kSlices = 8;
    constexpr int kRounds = 2;
    const std::string folder = pw::GetProgramFolder();
    const auto corpus = std::filesystem::temp_directory_path() / ("pagewright-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(corpus);
    const std::vector<std::string> files = WriteA4G4Files(corpus.string(), kFiles);
    if (files.empty()) {
        std::printf("merge   cannot write the corpus in %s\n", corpus.c_str());
        return;
    }
    const std::uintmax_t size = std::filesystem::file_size(files.front());
    const std::string shellOut = (corpus / "shell.tif").string();
    const std::string mergeOut = (corpus / "merged.tif").string();

    // The machine is shared: both loops go through the files in the same
    // slices, taking turns (and turns about who goes first), so that both
    // see the same load. Each loop still appends all files to one output.
    std::vector<double> shell(kRounds, 0.0), merge(kRounds, 0.0);
    double shellCpu = 0.0, mergeCpu = 0.0;
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::filesystem::remove(shellOut);
        std::filesystem::remove(mergeOut);
        for (int slice = 0; slice < kSlices; ++slice) {
            const std::vector<std::string> part(files.begin() + slice * kFiles / kSlices,
                                                files.begin() + (slice + 1) * kFiles / kSlices);
            auto runShell = [&] {
                const double cpu = CpuTotal();
                shell[round] += ShellLoop(folder, part, shellOut);
                shellCpu += CpuTotal() - cpu;
            };
            auto runMerge = [&] {
                const double cpu = CpuTotal();
                merge[round] += MergeLoop(part, mergeOut, failures);
                mergeCpu += CpuTotal() - cpu;
            };
            if ((slice + round) % 2 == 0) {
                runShell();
                runMerge();
            } else {
                runMerge();
                runShell();
            }
        }
    }
    const double s = *std::min_element(shell.begin(), shell.end());
    const double m = *std::min_element(merge.begin(), merge.end());
    const bool same = std::filesystem::file_size(shellOut) == std::filesystem::file_size(mergeOut);
    std::printf("merge   %d A4 300 dpi G4 pages (%ju bytes each): MergeFile %.2f s, shell loop %.2f s, ratio %.3f (target <= 1.05); %d failures, outputs %s\n",
                kFiles, size, m, s, m / s, failures, same ? "of equal size" : "DIFFER");
    std::printf("merge   rounds: MergeFile %.2f s / %.2f s, shell loop %.2f s / %.2f s\n", merge[0], merge[1], shell[0],
                shell[1]);
    // Processor time does not depend on what else the machine is doing.
    std::printf("merge   processor time, all rounds, tools included: MergeFile %.2f s, shell loop %.2f s, ratio %.3f\n",
                mergeCpu, shellCpu, mergeCpu / shellCpu);
    std::filesystem::remove_all(corpus);
}

}  // namespace

int main()
{
    TIFFSetWarningHandler(nullptr);
    EmptyProgramBench();
    MergeBench();
    return 0;
}
