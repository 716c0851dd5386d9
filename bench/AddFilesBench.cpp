// Adding 5,000 files to the main window's list through AddFiles, against
// counting the same files' pages alone. The window stays responsive: a 10 ms
// timer counts how often it got its turn while the files went in. Three
// rounds, each counting alone and then adding; medians are reported.
//
// Usage: bench_add_files [FILES]   (needs a display)

#include "bench/A4Corpus.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "pages/TiffPages.h"
#include "platform/UserFolders.h"

#include <wx/app.h>
#include <wx/init.h>
#include <wx/timer.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace pw::bench;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct AddRound {
    double seconds = 0;
    long rows = 0;
    int ticks = 0;
};

// Shows a main window and adds the paths from inside its event loop, as
// when the user adds them, once the window is up.
AddRound AddThroughTheWindow(const std::vector<std::string>& paths) {
    AddRound r;
    auto* dlg = new pw::CMainDlg(nullptr);
    int ticks = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks; });
    wxTimer start;
    start.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        timer.Start(10);
        const auto begin = Clock::now();
        dlg->AddFiles(paths);
        r.seconds = Seconds(Clock::now() - begin);
        timer.Stop();
        r.ticks = ticks;
        r.rows = dlg->GetFileList()->GetItemCount();
        dlg->EndModal(wxID_OK);
    });
    start.StartOnce(500);
    dlg->ShowModal();
    dlg->Destroy();
    wxTheApp->ProcessIdle();
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 5000;
    constexpr int kRounds = 3;
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(pw::GetTempFolder()) / ("pagewright-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string sample = (dir / "ten-pages-a4-g4.tif").string();
    const std::string make = std::string(PAGEWRIGHT_MAKE_SAMPLE) + " '" + sample + "' 10";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "bench_add_files: cannot write the sample file\n");
        return 1;
    }

    wxApp::SetInstance(new wxApp());
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "bench_add_files: no display\n");
        return 1;
    }
    pw::SetProgramArguments(0, nullptr);
    const std::vector<std::string> paths(static_cast<std::size_t>(files), sample);
    std::vector<double> countTimes, addTimes;
    std::vector<AddRound> rounds;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        int pages = 0;
        const auto begin = Clock::now();
        for (int i = 0; i < files; ++i)
            pages += pw::GetTiffPageCount(sample);
        countTimes.push_back(Seconds(Clock::now() - begin));
        ok = ok && pages == 10 * files;
        rounds.push_back(AddThroughTheWindow(paths));
        addTimes.push_back(rounds.back().seconds);
        ok = ok && rounds.back().rows == files;
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    fs::remove_all(dir);

    const double countPerFile = Median(countTimes) / files * 1e6;
    const double addPerFile = Median(addTimes) / files * 1e6;
    const double listOnly = addPerFile - countPerFile;
    std::printf("add_files: %d files of 10 A4 G4 pages, medians of %d rounds\n", files, kRounds);
    std::printf("add_files: GetTiffPageCount alone    %8.1f us per file (rounds %.3f %.3f %.3f s)\n", countPerFile,
                countTimes[0], countTimes[1], countTimes[2]);
    std::printf("add_files: AddFiles                  %8.1f us per file (rounds %.3f %.3f %.3f s)\n", addPerFile,
                addTimes[0], addTimes[1], addTimes[2]);
    std::printf("add_files: list cost beyond counting %8.1f us per file = %.2f x the page count (target <= 1.00): %s\n",
                listOnly, listOnly / countPerFile, listOnly <= countPerFile ? "met" : "MISSED");
    for (int round = 0; round < kRounds; ++round)
        std::printf("add_files: round %d: %ld rows, 10 ms timer ticks handled during AddFiles %d (%.1f per second)\n",
                    round + 1, rounds[round].rows, rounds[round].ticks, rounds[round].ticks / rounds[round].seconds);
    if (!ok)
        std::fprintf(stderr, "bench_add_files: wrong page counts or rows\n");
    return ok ? 0 : 1;
}
