// Every second page of a 400-page A4 G4 file, as whole program runs:
// pagewright-batch extract against tiffcp doing the same, both started by
// the program's own process runner from the program folder. Built for Linux
// and for Windows (run there under Wine), so the two ratios can be set side
// by side; ExtractPages in the process is timed too, as in bench_pages.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <tiffio.h>

#include "bench/A4Corpus.h"
#include "pages/TiffPages.h"
#include "platform/Paths.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramFolder.h"

using namespace pw::bench;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kPages = 400;

double Time(int runs, const std::function<void()>& before, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        before();
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    return Median(times);
}

bool Run(const std::vector<std::string>& arguments)
{
    std::string output;
    pw::RunStatus status;
    pw::CommandLine command{arguments.front(), arguments};
    return pw::RunAndCapture(command, output, &status) != 0 && status.exited && status.exitCode == 0;
}

}  // namespace

int main()
{
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    const std::string bin = pw::GetProgramFolder();
    const std::string batch = bin + "pagewright-batch" + pw::kExecutableSuffix;
    const std::string tiffcp = bin + "tiffcp" + pw::kExecutableSuffix;

    const fs::path folder = fs::temp_directory_path() / "pagewright-extract-bench";
    fs::remove_all(folder);
    fs::create_directories(folder / "out");
    const std::string source = pw::PathText(folder / "source.tif");
    const std::string outFolder = pw::PathText(folder / "out");
    const std::string viaTiffcp = pw::PathText(folder / "tiffcp.tif");
    if (!WriteA4G4(source, kPages)) {
        std::printf("extract cannot write the corpus in %s\n", pw::PathText(folder).c_str());
        return 1;
    }
    std::string tiffcpInput = source;
    for (int i = 0; i < kPages; i += 2)
        tiffcpInput.append(",").append(std::to_string(i));

    const auto clearOut = [&] {
        fs::remove_all(folder / "out");
        fs::create_directories(folder / "out");
        fs::remove(folder / "tiffcp.tif");
    };
    bool batchOk = true, tiffcpOk = true;
    const double viaBatch = Time(5, clearOut, [&] {
        batchOk = Run({batch, "extract", "--out", outFolder, "--pages", "odd", source}) && batchOk;
    });
    int batchPages = 0;
    for (const auto& entry : fs::directory_iterator(folder / "out"))
        batchPages += pw::GetTiffPageCount(pw::PathText(entry.path()));
    const double viaTool = Time(5, clearOut, [&] { tiffcpOk = Run({tiffcp, tiffcpInput, viaTiffcp}) && tiffcpOk; });
    const int tiffcpPages = pw::GetTiffPageCount(viaTiffcp);
    const std::string inProcessOut = pw::PathText(folder / "in-process.tif");
    const double inProcess = Time(5, [&] { fs::remove(folder / "in-process.tif"); },
                                  [&] { pw::ExtractPages(source, inProcessOut, "odd"); });

    std::printf("extract corpus: %d pages A4 300 dpi G4, %.1f MB\n", kPages,
                static_cast<double>(fs::file_size(pw::FileSystemPath(source))) / 1e6);
    std::printf("extract every second page: pagewright-batch extract %.1f ms (%d pages%s), tiffcp %.1f ms (%d pages%s)"
                " -> tiffcp/pagewright-batch %.2f; ExtractPages in process %.1f ms -> tiffcp/ExtractPages %.1f\n",
                viaBatch * 1e3, batchPages, batchOk ? "" : ", FAILED", viaTool * 1e3, tiffcpPages,
                tiffcpOk ? "" : ", FAILED", viaTool / viaBatch, inProcess * 1e3, viaTool / inProcess);
    fs::remove_all(folder);
    return batchOk && tiffcpOk ? 0 : 1;
}
