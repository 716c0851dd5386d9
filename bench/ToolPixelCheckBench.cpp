// What the pixel check after each tool run costs: a compress of A4 G4
// pages to LZW through CompressFile (report, tiffcp, pixel check) against
// the same compress with the check turned off, file by file in turn so
// that both see the same load. Also the check on its own when it decodes
// both sides after the run (as it does for a page it could not take ahead).

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/A4Corpus.h"
#include "engine/ToolInvocations.h"
#include "pages/PageComparison.h"

using namespace pw::bench;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Processor time of this process (its threads) and of its finished children.
struct Cpu {
    double self = 0, children = 0;
    static Cpu Now()
    {
        auto seconds = [](const rusage& u) {
            return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
        };
        rusage self{}, children{};
        ::getrusage(RUSAGE_SELF, &self);
        ::getrusage(RUSAGE_CHILDREN, &children);
        return {seconds(self), seconds(children)};
    }
    double Since(const Cpu& start) const { return self - start.self + children - start.children; }
};

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    if (pw::FindTool(pw::kCopyTool).empty() || pw::FindTool(pw::kInfoTool).empty()) {
        std::printf("pixel check: tiffinfo and tiffcp must lie beside the benchmark\n");
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "pagewright-pixel-check-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "out");
    const std::vector<std::string> sources = WriteA4G4Files(folder.string(), count);
    if (sources.empty()) {
        std::printf("pixel check: cannot write the pages\n");
        return 1;
    }
    std::vector<std::string> outputs;
    for (const std::string& source : sources)
        outputs.push_back((folder / "out" / std::filesystem::path(source).filename()).string());

    // A few runs first, so that the tools and the files are in the caches.
    for (int i = 0; i < 5 && i < count; ++i)
        pw::CompressFile(sources[i], outputs[i], R"("-c" "lzw")", "lzw");

    // Each file is compressed twice in turn: with the check, and with it
    // turned off.
    const std::string plainOutput = (folder / "plain.tif").string();
    int failures = 0;
    double checked = 0, plain = 0, checkedCpu = 0, plainCpu = 0;
    for (int i = 0; i < count; ++i) {
        auto start = Clock::now();
        Cpu cpu = Cpu::Now();
        failures += pw::CompressFile(sources[i], outputs[i], R"("-c" "lzw")", "lzw") ? 0 : 1;
        checked += Seconds(Clock::now() - start);
        checkedCpu += Cpu::Now().Since(cpu);
        pw::SetToolPageCheck(false);
        start = Clock::now();
        cpu = Cpu::Now();
        failures += pw::CompressFile(sources[i], plainOutput, R"("-c" "lzw")", "lzw") ? 0 : 1;
        plain += Seconds(Clock::now() - start);
        plainCpu += Cpu::Now().Since(cpu);
        pw::SetToolPageCheck(true);
    }

    int differing = 0;
    const auto checkStart = Clock::now();
    for (int i = 0; i < count; ++i)
        differing += pw::CompareFiles(sources[i], outputs[i]).result == pw::PageComparison::Result::Same ? 0 : 1;
    const double bothSides = Seconds(Clock::now() - checkStart);

    const double cost = checked - plain;
    std::printf("pixel check: compress of %d A4 300 dpi G4 pages to LZW: with the check %.2f s, "
                "without it %.2f s; the check's share of the tool runs %.3f (target <= 0.25); %d failures\n",
                count, checked, plain, cost / plain, failures);
    std::printf("pixel check: processor time, tools included: with the check %.2f s, without it %.2f s, "
                "ratio of the difference %.3f\n",
                checkedCpu, plainCpu, (checkedCpu - plainCpu) / plainCpu);
    std::printf("pixel check: decoding both sides after the run instead %.2f s, ratio to the tool runs %.3f; "
                "%d differing\n",
                bothSides, bothSides / plain, differing);
    std::filesystem::remove_all(folder);
    return failures == 0 && differing == 0 ? 0 : 1;
}
