// Adding 5,000 files to the main window's list through AddFiles, against
// counting the same files' pages alone. The window stays responsive: a 10 ms
// timer counts how often it got its turn while the files went in.
//
// Usage: bench_add_files [FILES]   (needs a display)

#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "pages/TiffPages.h"
#include "platform/UserFolders.h"

#include <wx/app.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 5000;
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(pw::GetTempFolder()) / ("pagewright-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string sample = (dir / "ten-pages-a4-g4.tif").string();
    const std::string make = std::string(PAGEWRIGHT_MAKE_SAMPLE) + " '" + sample + "' 10";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "bench_add_files: cannot write the sample file\n");
        return 1;
    }

    // Page counting alone, the same file as many times.
    int pages = 0;
    const auto countStart = Clock::now();
    for (int i = 0; i < files; ++i)
        pages += pw::GetTiffPageCount(sample);
    const double countSeconds = Seconds(Clock::now() - countStart);
    if (pages != 10 * files) {
        std::fprintf(stderr, "bench_add_files: page count %d, expected %d\n", pages, 10 * files);
        return 1;
    }

    wxApp::SetInstance(new wxApp());
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "bench_add_files: no display\n");
        return 1;
    }
    int ticks = 0;
    int paints = 0;
    int listPaints = 0;
    double listSeconds = 0;
    long rows = 0;
    {
        pw::SetProgramArguments(0, nullptr);
        auto* dlg = new pw::CMainDlg(nullptr);
        // The list draws its rows in a child window of its own.
        for (wxWindow* part : dlg->GetFileList()->GetChildren())
            part->Bind(wxEVT_PAINT, [&](wxPaintEvent& e) {
                ++paints;
                e.Skip();
            });
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks; });
        const std::vector<std::string> paths(static_cast<std::size_t>(files), sample);
        // The files go in from inside the window's own event loop, as they do
        // when the user adds them, once the window is up.
        wxTimer start;
        start.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            timer.Start(10);
            paints = 0;
            const auto listStart = Clock::now();
            dlg->AddFiles(paths);
            listSeconds = Seconds(Clock::now() - listStart);
            timer.Stop();
            listPaints = paints;
            rows = dlg->GetFileList()->GetItemCount();
            dlg->EndModal(wxID_OK);
        });
        start.StartOnce(500);
        dlg->ShowModal();
        dlg->Destroy();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    fs::remove_all(dir);

    const double countPerFile = countSeconds / files * 1e6;
    const double listPerFile = listSeconds / files * 1e6;
    const double listOnly = listPerFile - countPerFile;
    std::printf("add_files: %d files of 10 A4 G4 pages, %ld rows\n", files, rows);
    std::printf("add_files: GetTiffPageCount alone   %8.1f us per file (%.3f s)\n", countPerFile, countSeconds);
    std::printf("add_files: AddFiles                 %8.1f us per file (%.3f s)\n", listPerFile, listSeconds);
    std::printf("add_files: list cost beyond counting %8.1f us per file = %.2f x the page count (target <= 1.00): %s\n",
                listOnly, listOnly / countPerFile, listOnly <= countPerFile ? "met" : "MISSED");
    std::printf("add_files: 10 ms timer ticks handled during AddFiles: %d (%.1f per second)\n", ticks,
                ticks / listSeconds);
    std::printf("add_files: list repaints during AddFiles: %d (%.1f per second)\n", listPaints, listPaints / listSeconds);
    return rows == files ? 0 : 1;
}
