// What the pixel check after each tool run costs: a compress of A4 G4
// pages to LZW through CompressFile (report, tiffcp, pixel check) against
// the same two tool runs without the check, file by file in turn so that
// both see the same load. Also the check on its own when it decodes both
// sides after the run (as it does for a page it could not take ahead).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/A4Corpus.h"
#include "engine/CommandTemplates.h"
#include "engine/ToolInvocations.h"
#include "pages/PageComparison.h"
#include "platform/ProcessRunner.h"

using namespace pw::bench;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

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

    const std::string cp = pw::FindTool(pw::kCopyTool);
    const std::string plainOutput = (folder / "plain.tif").string();
    int failures = 0;
    double checked = 0, plain = 0;
    for (int i = 0; i < count; ++i) {
        auto start = Clock::now();
        failures += pw::CompressFile(sources[i], outputs[i], R"("-c" "lzw")", "lzw") ? 0 : 1;
        checked += Seconds(Clock::now() - start);
        start = Clock::now();
        pw::RunTiffInfo(sources[i]);
        std::string captured;
        pw::RunAndCapture(pw::RecompressCommandLine(cp, R"("-c" "lzw")", sources[i], plainOutput), captured);
        plain += Seconds(Clock::now() - start);
    }

    int differing = 0;
    const auto checkStart = Clock::now();
    for (int i = 0; i < count; ++i)
        differing += pw::CompareFiles(sources[i], outputs[i]).result == pw::PageComparison::Result::Same ? 0 : 1;
    const double bothSides = Seconds(Clock::now() - checkStart);

    const double cost = checked - plain;
    std::printf("pixel check: compress of %d A4 300 dpi G4 pages to LZW: with the check %.2f s, the same tool runs "
                "alone %.2f s; the check's share of the tool runs %.3f (target <= 0.25); %d failures\n",
                count, checked, plain, cost / plain, failures);
    std::printf("pixel check: decoding both sides after the run instead %.2f s, ratio to the tool runs %.3f; "
                "%d differing\n",
                bothSides, bothSides / plain, differing);
    std::filesystem::remove_all(folder);
    return failures == 0 && differing == 0 ? 0 : 1;
}
