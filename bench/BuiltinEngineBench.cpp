// pagewright-batch's builtin engine and its workers against their peers, in
// one run on the same corpus of A4 300 dpi G4 letters:
// - merge of 200 files: --engine builtin, --engine tools, one tiffcp run
//   over all files, and cp of the same bytes;
// - split of a 400-page file: --engine builtin against tiffsplit;
// - compress of 200 files to LZW: --jobs 2 against --jobs 1;
// - peak resident size of a builtin merge of 2,000 pages.

#include <fcntl.h>
#include <tiffio.h>
#include <unistd.h>

#include <chrono>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/A4Corpus.h"
#include "bench/ProcessTimes.h"

using namespace pw::bench;

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Join(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct Medians {
    double wall = 0;
    double processor = 0;
};

// The median wall and processor times of `rounds` runs; `prepare` runs
// untimed before each.
Medians MedianTimes(int rounds, const std::function<void()>& prepare, const std::vector<std::string>& command,
                    bool* failed = nullptr)
{
    std::vector<double> walls, processors;
    for (int round = 0; round < rounds; ++round) {
        if (prepare)
            prepare();
        const ProcessTimes times = RunProcess(command);
        if (times.status != 0 && failed != nullptr)
            *failed = true;
        walls.push_back(times.wall);
        processors.push_back(times.processor);
    }
    return {Median(walls), Median(processors)};
}

double MedianWall(int rounds, const std::function<void()>& prepare, const std::vector<std::string>& command,
                  bool* failed = nullptr)
{
    return MedianTimes(rounds, prepare, command, failed).wall;
}

uintmax_t TotalSize(const std::vector<std::string>& files)
{
    uintmax_t total = 0;
    for (const std::string& file : files)
        total += fs::file_size(file);
    return total;
}

int Pages(const std::string& path)
{
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif == nullptr)
        return -1;
    const int pages = TIFFNumberOfDirectories(tif);
    TIFFClose(tif);
    return pages;
}

}  // namespace

int main()
{
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    const std::string cli = PAGEWRIGHT_BATCH_EXE;
    const std::string tools = fs::path(cli).parent_path().string() + "/";
    const fs::path corpus = fs::temp_directory_path() / ("pagewright-engine-bench-" + std::to_string(::getpid()));
    fs::create_directories(corpus / "copy");
    constexpr int kFiles = 200;
    const std::vector<std::string> files = WriteA4G4Files(corpus.string(), kFiles);
    if (files.empty()) {
        std::printf("engine  cannot write the corpus in %s\n", corpus.c_str());
        return 1;
    }
    const std::string out = (corpus / "merged.tif").string();
    const auto removeOut = [&] { fs::remove(out); };
    bool failed = false;

    // Merge.
    const auto builtinMerge = Join({cli, "merge", "--no-use-compression", "--engine", "builtin", "--out", out, "--"}, files);
    const auto toolsMerge = Join({cli, "merge", "--no-use-compression", "--engine", "tools", "--out", out, "--"}, files);
    const auto oneTiffcp = Join({tools + "tiffcp"}, Join(files, {out}));
    const auto copy = Join(Join({"/bin/cp"}, files), {(corpus / "copy").string()});
    const double builtin = MedianWall(5, removeOut, builtinMerge, &failed);
    const int mergedPages = Pages(out);
    const double viaTools = MedianWall(1, removeOut, toolsMerge, &failed);
    const double tiffcp = MedianWall(3, removeOut, oneTiffcp, &failed);
    const double cp = MedianWall(5, nullptr, copy, &failed);
    std::printf("engine  merge of %d A4 G4 files (%.1f MB of pages): builtin %.3f s, tools %.2f s, one tiffcp %.3f s, "
                "cp %.3f s; tools/builtin %.0fx (target >= 50), builtin/cp %.2f (target <= 3), "
                "one tiffcp/builtin %.1fx; %d pages merged\n",
                kFiles, TotalSize(files) / 1e6, builtin, viaTools, tiffcp, cp, viaTools / builtin, builtin / cp,
                tiffcp / builtin, mergedPages);

    // Split of a 400-page file, made by merging the corpus twice.
    const std::string big = (corpus / "big.tif").string();
    RunProcess(Join(Join({cli, "merge", "--no-use-compression", "--engine", "builtin", "--out", big, "--"}, files), files));
    const fs::path splitOut = corpus / "split";
    const auto emptySplit = [&] {
        fs::remove_all(splitOut);
        fs::create_directories(splitOut);
    };
    // The two take turns, so that both meet the same load of the machine.
    std::vector<double> builtinWalls, builtinProcessors, toolWalls, toolProcessors;
    for (int round = 0; round < 7; ++round) {
        const Medians builtinRun = MedianTimes(
            1, emptySplit, {cli, "split", "--engine", "builtin", "--name", "s", "--out", splitOut.string(), big}, &failed);
        const Medians toolRun = MedianTimes(1, emptySplit, {tools + "tiffsplit", big, (splitOut / "p").string()}, &failed);
        builtinWalls.push_back(builtinRun.wall);
        builtinProcessors.push_back(builtinRun.processor);
        toolWalls.push_back(toolRun.wall);
        toolProcessors.push_back(toolRun.processor);
    }
    const Medians builtinSplit{Median(builtinWalls), Median(builtinProcessors)};
    const Medians tiffsplit{Median(toolWalls), Median(toolProcessors)};
    // What neither can avoid: creating one file per page in one folder.
    std::vector<double> creates;
    for (int round = 0; round < 5; ++round) {
        emptySplit();
        const auto start = std::chrono::steady_clock::now();
        for (int page = 0; page < Pages(big) && page < 400; ++page) {
            const int fd = ::open((splitOut / ("f" + std::to_string(page))).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0666);
            if (fd >= 0)
                ::close(fd);
        }
        creates.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("engine  split of a %d-page file: builtin %.3f s (processor %.3f s), tiffsplit %.3f s (processor "
                "%.3f s), tiffsplit/builtin %.2fx wall, %.2fx processor (target >= 2); creating 400 empty files "
                "alone %.3f s\n",
                Pages(big), builtinSplit.wall, builtinSplit.processor, tiffsplit.wall, tiffsplit.processor,
                tiffsplit.wall / builtinSplit.wall, tiffsplit.processor / builtinSplit.processor, Median(creates));

    // Compress with one and two workers, taking turns.
    const fs::path lzw = corpus / "lzw";
    fs::create_directories(lzw);
    std::vector<double> one, two;
    for (int round = 0; round < 2; ++round) {
        for (const char* jobs : round == 0 ? std::vector<const char*>{"1", "2"} : std::vector<const char*>{"2", "1"}) {
            const ProcessTimes times =
                RunProcess(Join({cli, "compress", "--method", "lzw", "--jobs", jobs, "--out", lzw.string(), "--"}, files));
            failed = failed || times.status != 0;
            (std::string(jobs) == "1" ? one : two).push_back(times.wall);
        }
    }
    std::printf("engine  compress of %d files to LZW on %u cores: --jobs 1 %.2f s, --jobs 2 %.2f s, ratio %.2f "
                "(target <= 0.6)\n",
                kFiles, static_cast<unsigned>(::sysconf(_SC_NPROCESSORS_ONLN)), Median(one), Median(two),
                Median(two) / Median(one));

    // Peak resident size of a 2,000-page builtin merge: the corpus ten times.
    std::vector<std::string> many;
    for (int i = 0; i < 10; ++i)
        many.insert(many.end(), files.begin(), files.end());
    removeOut();
    const ProcessTimes large =
        RunProcess(Join({cli, "merge", "--no-use-compression", "--engine", "builtin", "--out", out, "--"}, many));
    failed = failed || large.status != 0;
    std::printf("engine  builtin merge of %zu pages: %.2f s, peak resident size %.1f MB (target < 64 MB), "
                "output %.1f MB with %d pages\n",
                many.size(), large.wall, large.peakKb / 1024.0, fs::file_size(out) / 1e6, Pages(out));
    if (failed)
        std::printf("engine  SOME RUNS FAILED\n");
    fs::remove_all(corpus);
    return failed ? 1 : 0;
}
