// The page viewer: time from OpenFile to the page drawn fitted into a
// 1000 x 700 viewer, against ImageMagick's convert making a PNG of the same
// size from the same page, for an A4 300 dpi G4 page, an A4 300 dpi 24-bit
// LZW page and a 10,000 x 10,000 tiled RGB page (300 MB). While the largest
// opens, a 10 ms timer on the window's thread records its longest wait.
//
// Usage: bench_viewer   (needs a display)

#include "bench/A4Corpus.h"
#include "viewer/CFoliocx.h"
#include "viewer/FolioCanvas.h"

#include <tiffio.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

using namespace pw;
using namespace pw::bench;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// An RGB page whose rows change slowly, as a photo or a colour scan would.
bool WriteRgb(const std::string& path, uint32_t width, uint32_t height, uint16_t compression, uint32_t tile) {
    TIFF* tif = TIFFOpen(path.c_str(), "w8");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0f);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    auto pixel = [](uint32_t x, uint32_t y, uint8_t* p) {
        p[0] = static_cast<uint8_t>((x / 7 + y / 11) & 0xFF);
        p[1] = static_cast<uint8_t>((x * y / 4096) & 0xFF);
        p[2] = static_cast<uint8_t>(((x ^ y) >> 3) & 0xFF);
    };
    bool ok = true;
    if (tile) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, tile);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, tile);
        std::vector<uint8_t> buf(size_t{tile} * tile * 3);
        for (uint32_t ty = 0; ty < height && ok; ty += tile)
            for (uint32_t tx = 0; tx < width && ok; tx += tile) {
                for (uint32_t y = 0; y < tile; ++y)
                    for (uint32_t x = 0; x < tile; ++x)
                        pixel(tx + x, ty + y, &buf[(size_t{y} * tile + x) * 3]);
                ok = TIFFWriteTile(tif, buf.data(), tx, ty, 0, 0) >= 0;
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 32);
        std::vector<uint8_t> row(size_t{width} * 3);
        for (uint32_t y = 0; y < height && ok; ++y) {
            for (uint32_t x = 0; x < width; ++x)
                pixel(x, y, &row[size_t{x} * 3]);
            ok = TIFFWriteScanline(tif, row.data(), y, 0) >= 0;
        }
    }
    TIFFClose(tif);
    return ok;
}

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Shown {
    double ms = 0;
    double cpuMs = 0;  // of all the process's threads

    wxSize size;
    double longestGapMs = 0;
    bool ok = false;
};

// Opens the file and waits until its page has been painted.
Shown OpenAndWait(CFoliocx* viewer, const std::string& path) {
    Shown result;
    FolioCanvas* canvas = viewer->GetCanvas();
    const int painted = canvas->GetPagesPainted();
    Clock::time_point lastTick = Clock::now();
    double gap = 0;
    wxTimer ticker;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const Clock::time_point now = Clock::now();
        gap = std::max(gap, Ms(now - lastTick));
        lastTick = now;
    });
    ticker.Start(10);
    const Clock::time_point start = Clock::now();
    const double cpuStart = CpuMs();
    viewer->OpenFile(path, "", "", 96);
    viewer->AfterOpen(1);
    while (canvas->GetPagesPainted() == painted && viewer->GetState() != CFoliocx::State::Failed) {
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();
    }
    result.ms = Ms(Clock::now() - start);
    result.cpuMs = CpuMs() - cpuStart;
    ticker.Stop();
    gap = std::max(gap, Ms(Clock::now() - lastTick));
    result.longestGapMs = gap;
    result.ok = viewer->GetState() == CFoliocx::State::Shown;
    result.size = canvas->GetPageViewSize();
    return result;
}

// convert making a PNG of the page at the given size; -1 when it failed,
// -2 when it is not installed.
double ConvertMs(const std::string& path, const wxSize& size, const std::string& out) {
    if (std::system("command -v convert >/dev/null 2>&1") != 0)
        return -2;
    const std::string command = "convert '" + path + "[0]' -resize " + std::to_string(size.x) + "x" +
                                std::to_string(size.y) + "! '" + out + "' 2>/dev/null";
    const Clock::time_point start = Clock::now();
    const int status = std::system(command.c_str());
    const double ms = Ms(Clock::now() - start);
    return status == 0 && fs::exists(out) ? ms : -1;
}

long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
    wxApp::SetInstance(new wxApp());
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "bench_viewer: no display\n");
        return 1;
    }
    const fs::path folder = fs::temp_directory_path() / ("pagewright-viewer-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string g4 = (folder / "a4-g4.tif").string();
    const std::string lzw = (folder / "a4-rgb-lzw.tif").string();
    const std::string big = (folder / "10000-tiled-rgb.tif").string();
    std::printf("writing the pages...\n");
    if (!WriteA4G4(g4) || !WriteRgb(lzw, kA4Width, kA4Height, COMPRESSION_LZW, 0) ||
        !WriteRgb(big, 10000, 10000, COMPRESSION_NONE, 256)) {
        std::fprintf(stderr, "bench_viewer: cannot write the pages\n");
        return 1;
    }

    auto* frame = new wxFrame(nullptr, wxID_ANY, "bench_viewer");
    auto* viewer = new CFoliocx(frame, wxID_ANY, wxDefaultPosition, wxSize(1000, 700));
    frame->SetClientSize(1000, 700);
    frame->Show();
    for (int i = 0; i < 20; ++i)
        wxTheApp->Yield(true);

    struct Row {
        const char* name;
        std::string path;
        int runs;
    } rows[] = {
        {"A4 300 dpi G4", g4, 9},
        {"A4 300 dpi RGB LZW", lzw, 5},
        {"10000 x 10000 tiled RGB, 300 MB", big, 3},
    };
    // The machine may be busy with other work: the processor time the
    // viewer took (all its threads) is shown beside the wall time.
    std::printf("\n%-34s %12s %12s %12s %12s %8s %12s\n", "page", "pagewright", "(best)", "(cpu)", "convert", "ratio",
                "drawn at");
    double bigGap = 0;
    for (const Row& row : rows) {
        std::vector<double> ours, cpu, theirs, gaps;
        wxSize size;
        bool failed = false;
        for (int run = 0; run < row.runs; ++run) {
            const Shown shown = OpenAndWait(viewer, row.path);
            failed = failed || !shown.ok;
            ours.push_back(shown.ms);
            cpu.push_back(shown.cpuMs);
            gaps.push_back(shown.longestGapMs);
            size = shown.size;
        }
        for (int run = 0; run < row.runs; ++run) {
            const double ms = ConvertMs(row.path, size, (folder / "out.png").string());
            fs::remove(folder / "out.png");
            if (ms < 0) {
                theirs.assign(1, ms);
                break;
            }
            theirs.push_back(ms);
        }
        const double mine = Median(ours);
        const double peer = theirs.size() == 1 && theirs[0] < 0 ? theirs[0] : Median(theirs);
        char peerText[32], ratio[32];
        if (peer == -2) {
            std::snprintf(peerText, sizeof peerText, "not installed");
            std::snprintf(ratio, sizeof ratio, "-");
        } else if (peer < 0) {
            std::snprintf(peerText, sizeof peerText, "failed");
            std::snprintf(ratio, sizeof ratio, "-");
        } else {
            std::snprintf(peerText, sizeof peerText, "%.1f ms", peer);
            std::snprintf(ratio, sizeof ratio, "%.1fx", peer / mine);
        }
        std::printf("%-34s %9.1f ms %9.1f ms %9.1f ms %12s %8s %6dx%-5d%s\n", row.name, mine,
                    *std::min_element(ours.begin(), ours.end()), Median(cpu), peerText, ratio, size.x, size.y,
                    failed ? "  (NOT SHOWN)" : "");
        bigGap = Median(gaps);
    }
    std::printf("\nlongest wait of a 10 ms timer on the window's thread while the largest page opened: %.1f ms\n",
                bigGap);
    std::printf("peak memory of the process: %ld MB\n", PeakMegabytes());
    frame->Destroy();
    wxTheApp->ProcessIdle();
    fs::remove_all(folder);
    wxEntryCleanup();
    return 0;
}
