// Page extraction and page count against the tools that do the same:
// every second page of a 400-page A4 G4 file through ExtractPages, tiffcp
// and GraphicsMagick; its page count through GetTiffPageCount and tiffinfo;
// and extraction time against the number of pages chosen.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/A4Corpus.h"
#include "pages/TiffPages.h"

extern char** environ;

using namespace pw::bench;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kPages = 400;

// Median wall time of runs calls of work, in seconds; output is removed
// before each run.
double Time(int runs, const std::function<void()>& work, const std::string& output = std::string())
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (!output.empty())
            fs::remove(output);
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    return Median(times);
}

// Runs a program to its end; its standard output is returned when asked
// for, else thrown away. False when it could not run or did not exit 0.
bool Run(const std::vector<std::string>& args, std::string* output = nullptr)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output != nullptr)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    const bool spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned && output != nullptr) {
        char buffer[65536];
        ssize_t got;
        while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
            output->append(buffer, static_cast<size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    return spawned && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Installed(const char* program)
{
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
        if (::access((std::string(dir) + program).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

// Every page of a file decoded, row after row.
std::vector<std::vector<uint8_t>> DecodePages(const std::string& path)
{
    std::vector<std::vector<uint8_t>> pages;
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif == nullptr)
        return pages;
    do {
        uint32_t height = 0;
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
        const auto rowBytes = static_cast<size_t>(TIFFScanlineSize(tif));
        std::vector<uint8_t> pixels(rowBytes * height);
        for (uint32_t y = 0; y < height; ++y) {
            if (TIFFReadScanline(tif, pixels.data() + y * rowBytes, y, 0) < 0) {
                pixels.clear();
                break;
            }
        }
        pages.push_back(std::move(pixels));
    } while (TIFFReadDirectory(tif));
    TIFFClose(tif);
    return pages;
}

}  // namespace

int main()
{
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    const fs::path folder = fs::temp_directory_path() / ("pagewright-pages-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string source = (folder / "source.tif").string();
    if (!WriteA4G4(source, kPages)) {
        std::printf("pages   cannot write the corpus in %s\n", folder.c_str());
        return 1;
    }
    std::printf("pages   corpus: %d pages A4 300 dpi G4 (%ux%u), %.1f MB\n", kPages, kA4Width, kA4Height,
                static_cast<double>(fs::file_size(source)) / 1e6);

    // (a) Every second page: 1, 3, 5, ... (directories 0, 2, 4, ...). Each
    // run writes a new file, as a user's run would.
    const std::string ours = (folder / "ours.tif").string();
    const std::string viaTiffcp = (folder / "tiffcp.tif").string();
    const std::string viaGm = (folder / "gm.tif").string();
    std::string tiffcpInput = source;
    for (int i = 0; i < kPages; i += 2)
        tiffcpInput.append(",").append(std::to_string(i));
    int result = 0;
    const double extract = Time(7, [&] { result = pw::ExtractPages(source, ours, "odd"); }, ours);
    bool tiffcpOk = false;
    const double tiffcp = Time(3, [&] { tiffcpOk = Run({"tiffcp", tiffcpInput, viaTiffcp}); }, viaTiffcp);
    std::printf("pages   every second page (%d pages): ExtractPages %.1f ms (result %d), tiffcp %.1f ms%s -> %.0fx faster (target >= 20x)\n",
                kPages / 2, extract * 1e3, result, tiffcp * 1e3, tiffcpOk ? "" : " (FAILED)", tiffcp / extract);
    if (Installed("gm")) {
        // GraphicsMagick takes about half a second a page here: it gets the
        // first 20 of them, and so does ExtractPages for the ratio.
        constexpr int kGmPages = 20;
        std::string frames, range;
        for (int i = 0; i < 2 * kGmPages; i += 2) {
            frames.append(std::to_string(i)).append(",");
            range.append(std::to_string(i + 1)).append(",");
        }
        frames.pop_back();
        bool gmOk = false;
        const double gm = Time(1, [&] { gmOk = Run({"gm", "convert", source + "[" + frames + "]", "-compress", "Group4", viaGm}); }, viaGm);
        const double few = Time(7, [&] { pw::ExtractPages(source, ours, range.c_str()); }, ours);
        std::printf("pages   every second page of the first %d (%d pages): ExtractPages %.1f ms, GraphicsMagick (gm convert) %.1f ms%s -> %.0fx faster\n",
                    2 * kGmPages, kGmPages, few * 1e3, gm * 1e3, gmOk ? "" : " (FAILED)", gm / few);
        pw::ExtractPages(source, ours, "odd");
    } else {
        std::printf("pages   every second page: GraphicsMagick not installed\n");
    }
    const auto ourPages = DecodePages(ours);
    const auto theirPages = DecodePages(viaTiffcp);
    bool identical = ourPages.size() == static_cast<size_t>(kPages / 2) && ourPages == theirPages;
    for (const auto& page : ourPages)
        identical = identical && !page.empty();
    std::printf("pages   every second page: output %s tiffcp's, page for page (%zu and %zu pages decoded)\n",
                identical ? "pixel-identical to" : "DIFFERS from", ourPages.size(), theirPages.size());

    // (b) Page count.
    int count = 0;
    const double ownCount = Time(51, [&] { count = pw::GetTiffPageCount(source); });
    int toolCount = 0;
    const double toolTime = Time(5, [&] {
        std::string report;
        Run({"tiffinfo", source}, &report);
        toolCount = 0;
        for (size_t at = report.find("TIFF Directory at offset"); at != std::string::npos;
             at = report.find("TIFF Directory at offset", at + 1))
            ++toolCount;
    });
    std::printf("pages   page count: GetTiffPageCount %.3f ms (%d pages), tiffinfo %.1f ms (%d directories) -> %.0fx faster (target >= 10x)\n",
                ownCount * 1e3, count, toolTime * 1e3, toolCount, toolTime / ownCount);

    // (c) Growth with the number of pages chosen.
    std::string line = "pages   extraction by pages chosen:";
    for (int chosen : {50, 100, 200, 400}) {
        const std::string range = "1-" + std::to_string(chosen);
        const double t = Time(5, [&] { pw::ExtractPages(source, ours, range.c_str()); }, ours);
        char part[96];
        std::snprintf(part, sizeof part, " %d: %.1f ms (%.0f us/page)%s", chosen, t * 1e3, t * 1e6 / chosen,
                      chosen == 400 ? "" : ",");
        line += part;
    }
    std::printf("%s\n", line.c_str());

    fs::remove_all(folder);
    return 0;
}
