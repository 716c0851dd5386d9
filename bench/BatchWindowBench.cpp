// A merge of 200 A4 G4 files started with the main window's Merge All
// button (the save dialog answered by the benchmark) against the same merge
// through pagewright-batch, and how long the window's event loop went
// without handling a 10 ms timer while the batch ran. Rounds alternate which
// of the two goes first; medians are reported.
//
// Usage: bench_batch_window [FILES [ROUNDS]]   (needs a display)

#include "bench/A4Corpus.h"
#include "bench/ProcessTimes.h"
#include "engine/BatchSession.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "mainwnd/MergeOutputFile.h"
#include "platform/UserFolders.h"
#include "res/ResourceIds.h"
#include "settings/ProgramSettings.h"

#include <sys/resource.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace pw::bench;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// User and system seconds of this process (RUSAGE_SELF) or of the children
// it has waited for (RUSAGE_CHILDREN).
double ProcessorSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec * 1e-6;
}

struct CliRound {
    double seconds = -1.0;
    double processor = 0;  // of pagewright-batch and the tools it ran
};

CliRound CliMerge(const std::vector<std::string>& files, const std::string& output) {
    std::vector<std::string> arguments = {PAGEWRIGHT_BATCH_EXE, "merge", "--no-use-compression", "--out", output, "--"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const ProcessTimes times = RunProcess(arguments);
    CliRound r;
    if (times.status == 0)
        r.seconds = times.wall;
    r.processor = times.processor;
    return r;
}

struct WindowRound {
    double seconds = -1.0;
    double ownProcessor = 0;    // of this process during the batch, its tools not counted
    double toolsProcessor = 0;  // of the tools it ran
    std::vector<double> gapsMs;  // between consecutive 10 ms timer events
};

// Shows a main window with the files listed and presses Merge All from
// inside its event loop, as a user would once the window is up.
WindowRound WindowMerge(const std::vector<std::string>& files, const std::string& output) {
    WindowRound r;
    auto* dlg = new pw::CMainDlg(nullptr);
    pw::SetSaveDialogRunner([&](wxWindow*) { return std::optional<std::string>(output); });
    Clock::time_point begin;
    Clock::time_point lastTick;
    wxTimer ticker;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = Clock::now();
        r.gapsMs.push_back(std::chrono::duration<double, std::milli>(now - lastTick).count());
        lastTick = now;
        auto* line = dynamic_cast<wxStaticText*>(dlg->FindWindow(pw::IDC_INFORMATION));
        if (!pw::BatchSession::Instance().IsRunning() && line && line->GetLabelText() == "Done.") {
            r.seconds = Seconds(now - begin);
            r.ownProcessor += ProcessorSeconds(RUSAGE_SELF);
            r.toolsProcessor += ProcessorSeconds(RUSAGE_CHILDREN);
            ticker.Stop();
            dlg->EndModal(wxID_OK);
        }
    });
    wxTimer start;
    start.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        wxWindow* button = dlg->FindWindow(pw::IDC_MERGEALL);
        wxCommandEvent click(wxEVT_BUTTON, pw::IDC_MERGEALL);
        click.SetEventObject(button);
        begin = lastTick = Clock::now();
        r.ownProcessor = -ProcessorSeconds(RUSAGE_SELF);
        r.toolsProcessor = -ProcessorSeconds(RUSAGE_CHILDREN);
        ticker.Start(10);
        button->ProcessWindowEvent(click);
        if (button->GetLabel() != "Stop") {
            ticker.Stop();
            dlg->EndModal(wxID_CANCEL);
        }
    });
    dlg->Bind(wxEVT_SHOW, [&](wxShowEvent& e) {
        if (e.IsShown() && dlg->GetFileList()->GetItemCount() == 0) {
            dlg->AddFiles(files);
            start.StartOnce(500);
        }
        e.Skip();
    });
    dlg->ShowModal();
    dlg->Destroy();
    pw::SetSaveDialogRunner(nullptr);
    wxTheApp->ProcessIdle();
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    const int kRounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const fs::path dir = fs::path(pw::GetTempFolder()) / ("pagewright-window-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::vector<std::string> files = WriteA4G4Files(dir.string(), count);
    if (files.empty()) {
        std::fprintf(stderr, "bench_batch_window: cannot write the corpus in %s\n", dir.c_str());
        return 1;
    }
    // The window merges as the command line is told to: without compression.
    pw::WriteUseCompressMethod(false);

    wxApp::SetInstance(new wxApp());
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "bench_batch_window: no display\n");
        return 1;
    }
    pw::SetProgramArguments(0, nullptr);

    const std::string viaWindow = (dir / "window.tif").string();
    const std::string viaCli = (dir / "cli.tif").string();
    std::vector<double> windowTimes, cliTimes, allGaps;
    double windowProcessor = 0, cliProcessor = 0;
    double longestGap = 0;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        WindowRound w;
        CliRound c;
        if (round % 2 == 0) {
            c = CliMerge(files, viaCli);
            w = WindowMerge(files, viaWindow);
        } else {
            w = WindowMerge(files, viaWindow);
            c = CliMerge(files, viaCli);
        }
        ok = ok && w.seconds > 0 && c.seconds > 0 && fs::exists(viaWindow) &&
             fs::file_size(viaWindow) == fs::file_size(viaCli);
        windowTimes.push_back(w.seconds);
        cliTimes.push_back(c.seconds);
        windowProcessor += w.ownProcessor + w.toolsProcessor;
        cliProcessor += c.processor;
        allGaps.insert(allGaps.end(), w.gapsMs.begin(), w.gapsMs.end());
        const double longest = w.gapsMs.empty() ? 0 : *std::max_element(w.gapsMs.begin(), w.gapsMs.end());
        longestGap = std::max(longestGap, longest);
        std::printf("batch_window: round %d: window %.2f s, pagewright-batch %.2f s; processor: window process %.2f s "
                    "+ tools %.2f s, pagewright-batch with tools %.2f s; timer events %zu, median gap %.1f ms, "
                    "longest gap %.1f ms\n",
                    round + 1, w.seconds, c.seconds, w.ownProcessor, w.toolsProcessor, c.processor, w.gapsMs.size(),
                    Median(w.gapsMs), longest);
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    fs::remove_all(dir);

    const double window = Median(windowTimes), cli = Median(cliTimes);
    std::printf("batch_window: merge of %d A4 300 dpi G4 files, medians of %d rounds: Merge All in the window %.2f s, "
                "pagewright-batch %.2f s, ratio %.3f (target <= 1.05)\n",
                count, kRounds, window, cli, window / cli);
    std::printf("batch_window: processor time, tools included, all rounds: window %.2f s, pagewright-batch %.2f s, "
                "ratio %.3f\n",
                windowProcessor, cliProcessor, windowProcessor / cliProcessor);
    std::printf("batch_window: 10 ms timer on the window's thread during the batches: median gap %.1f ms, "
                "longest gap %.1f ms (target <= 100 ms)\n",
                Median(allGaps), longestGap);
    if (!ok)
        std::fprintf(stderr, "bench_batch_window: a merge failed or the outputs differ\n");
    return ok ? 0 : 1;
}
