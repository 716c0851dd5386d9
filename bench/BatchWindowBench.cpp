// The window's batches on its default engine, the builtin one, in one run
// on a corpus of A4 300 dpi G4 letters:
// - Merge All of FILES files (the save dialog answered by the benchmark)
//   against the same merge through pagewright-batch, against Merge All
//   through the tools (Engine=tools, one round: it takes long), and against
//   cp of the same bytes; and how long the window's event loop went without
//   handling a 10 ms timer while the batch ran;
// - Split All of a 400-page file (the folder chooser answered) against
//   tiffsplit, and against writing the same page files from memory; once
//   with the row unselected before, so that the preview opens the file
//   while it is split (the batch selects its running row), and once with
//   the file in the preview already.
// Rounds alternate which goes first; medians are reported.
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
#include "viewer/CFoliocx.h"
#include "settings/ProgramSettings.h"
#include "ui/ChooseFolder.h"

#include <sys/resource.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/control.h>
#include <wx/init.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    std::vector<std::string> arguments = {PAGEWRIGHT_BATCH_EXE, "merge", "--no-use-compression", "--engine", "builtin",
                                          "--out", output, "--"};
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

// Shows a main window with the files listed and presses the batch button
// (Merge All or Split All) from inside its event loop, as a user would once
// the window is up; the save dialog or the folder chooser answers place.
// With previewFirst the first row is selected, and the button pressed once
// the preview shows it. The end is seen at the first tick of a 1 ms timer
// after it; a 10 ms timer beside it measures how the window's thread keeps
// up.
WindowRound WindowBatch(int buttonId, const std::vector<std::string>& files, const std::string& place,
                        bool previewFirst = false) {
    WindowRound r;
    auto* dlg = new pw::CMainDlg(nullptr);
    pw::SetSaveDialogRunner([&](wxWindow*) { return std::optional<std::string>(place); });
    pw::SetFolderDialogRunner([&](wxWindow*, const std::string&) { return std::optional<std::string>(place); });
    Clock::time_point begin;
    Clock::time_point lastTick;
    wxTimer ticker;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = Clock::now();
        r.gapsMs.push_back(std::chrono::duration<double, std::milli>(now - lastTick).count());
        lastTick = now;
    });
    wxTimer ender;
    ender.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = Clock::now();
        auto* line = dynamic_cast<wxStaticText*>(dlg->FindWindow(pw::IDC_INFORMATION));
        if (!pw::BatchSession::Instance().IsRunning() && line && line->GetLabelText() == "Done.") {
            r.seconds = Seconds(now - begin);
            r.ownProcessor += ProcessorSeconds(RUSAGE_SELF);
            r.toolsProcessor += ProcessorSeconds(RUSAGE_CHILDREN);
            ticker.Stop();
            ender.Stop();
            dlg->EndModal(wxID_OK);
        }
    });
    wxTimer start;
    const Clock::time_point shown = Clock::now();
    start.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (previewFirst && dlg->GetViewer() && dlg->GetViewer()->GetPageCount() == 0 &&
            Clock::now() - shown < std::chrono::seconds(20)) {
            start.StartOnce(100);
            return;
        }
        wxWindow* button = dlg->FindWindow(buttonId);
        wxCommandEvent click(wxEVT_BUTTON, buttonId);
        click.SetEventObject(button);
        begin = lastTick = Clock::now();
        r.ownProcessor = -ProcessorSeconds(RUSAGE_SELF);
        r.toolsProcessor = -ProcessorSeconds(RUSAGE_CHILDREN);
        ticker.Start(10);
        ender.Start(1);
        button->ProcessWindowEvent(click);
        if (wxControl::RemoveMnemonics(button->GetLabel()) != "Stop") {
            ticker.Stop();
            ender.Stop();
            dlg->EndModal(wxID_CANCEL);
        }
    });
    dlg->Bind(wxEVT_SHOW, [&](wxShowEvent& e) {
        if (e.IsShown() && dlg->GetFileList()->GetItemCount() == 0) {
            dlg->AddFiles(files);
            if (previewFirst)
                dlg->GetFileList()->SelectItem(0);
            start.StartOnce(previewFirst ? 1500 : 500);
        }
        e.Skip();
    });
    dlg->ShowModal();
    dlg->Destroy();
    pw::SetSaveDialogRunner(nullptr);
    pw::SetFolderDialogRunner(nullptr);
    wxTheApp->ProcessIdle();
    return r;
}

// Wall seconds of a program run; -1 when it failed.
double RunSeconds(const std::vector<std::string>& arguments) {
    const ProcessTimes times = RunProcess(arguments);
    return times.status == 0 ? times.wall : -1.0;
}

// cp of the files into a new folder: the same bytes as the merge copies.
double CopySeconds(const std::vector<std::string>& files, const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::vector<std::string> arguments = {"/bin/cp", "--"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    arguments.push_back(folder.string());
    return RunSeconds(arguments);
}

// The files of a folder, read into memory.
std::vector<std::pair<std::string, std::string>> ReadFolder(const fs::path& folder) {
    std::vector<std::pair<std::string, std::string>> contents;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        contents.emplace_back(entry.path().filename().string(),
                              std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    return contents;
}

// Writing those files anew into an empty folder: what a split cannot do
// faster.
double WriteSeconds(const std::vector<std::pair<std::string, std::string>>& contents, const fs::path& folder) {
    fs::create_directories(folder);
    const auto begin = Clock::now();
    for (const auto& [name, bytes] : contents) {
        std::FILE* file = std::fopen((folder / name).c_str(), "wb");
        if (!file)
            return -1.0;
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (std::fclose(file) != 0 || !written)
            return -1.0;
    }
    return Seconds(Clock::now() - begin);
}

size_t CountFiles(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return 0;
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 200;
    const int kRounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const fs::path dir = fs::path(pw::GetTempFolder()) / ("pagewright-window-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::vector<std::string> files = WriteA4G4Files(dir.string(), count);
    const std::string big = (dir / "big.tif").string();
    constexpr int kSplitPages = 400;
    if (files.empty() || !WriteA4G4(big, kSplitPages, 7)) {
        std::fprintf(stderr, "bench_batch_window: cannot write the corpus in %s\n", dir.c_str());
        return 1;
    }
    // The window merges as the command line is told to: without compression.
    pw::WriteUseCompressMethod(false);
    pw::WriteNamingRule("s");

    wxApp::SetInstance(new wxApp());
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "bench_batch_window: no display\n");
        return 1;
    }
    pw::SetProgramArguments(0, nullptr);
    const std::string tools = fs::path(PAGEWRIGHT_BATCH_EXE).parent_path().string() + "/";

    // Merge All on the default engine.
    pw::WriteEngineSetting(true);
    const std::string viaWindow = (dir / "window.tif").string();
    const std::string viaCli = (dir / "cli.tif").string();
    std::vector<double> windowTimes, cliTimes, copyTimes, allGaps;
    double windowProcessor = 0, cliProcessor = 0;
    double longestGap = 0;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        WindowRound w;
        CliRound c;
        double cp = 0;
        if (round % 2 == 0) {
            c = CliMerge(files, viaCli);
            cp = CopySeconds(files, dir / "copy");
            w = WindowBatch(pw::IDC_MERGEALL, files, viaWindow);
        } else {
            w = WindowBatch(pw::IDC_MERGEALL, files, viaWindow);
            cp = CopySeconds(files, dir / "copy");
            c = CliMerge(files, viaCli);
        }
        ok = ok && w.seconds > 0 && c.seconds > 0 && cp > 0 && fs::exists(viaWindow) &&
             fs::file_size(viaWindow) == fs::file_size(viaCli);
        windowTimes.push_back(w.seconds);
        cliTimes.push_back(c.seconds);
        copyTimes.push_back(cp);
        windowProcessor += w.ownProcessor + w.toolsProcessor;
        cliProcessor += c.processor;
        allGaps.insert(allGaps.end(), w.gapsMs.begin(), w.gapsMs.end());
        const double longest = w.gapsMs.empty() ? 0 : *std::max_element(w.gapsMs.begin(), w.gapsMs.end());
        longestGap = std::max(longestGap, longest);
        std::printf("batch_window: merge round %d: window %.3f s, pagewright-batch %.3f s, cp %.3f s; processor: "
                    "window process %.2f s + tools %.2f s, pagewright-batch with tools %.2f s; timer events %zu, "
                    "median gap %.1f ms, longest gap %.1f ms\n",
                    round + 1, w.seconds, c.seconds, cp, w.ownProcessor, w.toolsProcessor, c.processor,
                    w.gapsMs.size(), Median(w.gapsMs), longest);
    }

    // The same Merge All through the tools, once.
    pw::WriteEngineSetting(false);
    const std::string viaTools = (dir / "tools.tif").string();
    const WindowRound t = WindowBatch(pw::IDC_MERGEALL, files, viaTools);
    ok = ok && t.seconds > 0 && fs::exists(viaTools);
    std::printf("batch_window: merge through the tools: window %.2f s\n", t.seconds);
    pw::WriteEngineSetting(true);

    // Split All of one 400-page file against tiffsplit and the writing of
    // the page files; each starts with an empty folder.
    // Every run writes into a folder never used before, and the folders are
    // removed only after the last round: a run that creates its files right
    // after 400 others were deleted pays the file system for the deleted
    // ones (ext4 passes over recently freed inodes), and whichever run came
    // after a deletion would be the slower for it.
    const fs::path splitRuns = dir / "split-runs";
    std::vector<double> splitTimes, previewedTimes, tiffsplitTimes, cliSplitTimes, writeTimes, splitProcessor,
        previewedProcessor;
    const int splitRounds = std::max(kRounds, 5);
    int runNumber = 0;
    const auto freshFolder = [&] {
        const fs::path folder = splitRuns / std::to_string(++runNumber);
        fs::create_directories(folder);
        return folder;
    };
    fs::path lastWindowFolder;
    for (int round = 0; round < splitRounds; ++round) {
        const auto windowSplit = [&](bool previewFirst, std::vector<double>& processor) {
            const fs::path place = freshFolder();
            const WindowRound w = WindowBatch(pw::IDC_SPLITALL, {big}, place.string(), previewFirst);
            ok = ok && w.seconds > 0 && CountFiles(place / "s_1") == kSplitPages;
            processor.push_back(w.ownProcessor);
            lastWindowFolder = place / "s_1";
            return w.seconds;
        };
        const auto toolSplit = [&] {
            const fs::path place = freshFolder();
            const double seconds = RunSeconds({tools + "tiffsplit", big, (place / "p").string()});
            ok = ok && seconds > 0 && CountFiles(place) == kSplitPages;
            return seconds;
        };
        const auto cliSplit = [&] {
            const fs::path place = freshFolder();
            const double seconds = RunSeconds({PAGEWRIGHT_BATCH_EXE, "split", "--engine", "builtin", "--name", "s",
                                               "--out", place.string(), big});
            ok = ok && seconds > 0 && CountFiles(place / "s_1") == kSplitPages;
            return seconds;
        };
        double window = 0, previewed = 0, tool = 0, cli = 0;
        if (round % 2 == 0) {
            tool = toolSplit();
            cli = cliSplit();
            window = windowSplit(false, splitProcessor);
            previewed = windowSplit(true, previewedProcessor);
        } else {
            previewed = windowSplit(true, previewedProcessor);
            window = windowSplit(false, splitProcessor);
            cli = cliSplit();
            tool = toolSplit();
        }
        const double write = WriteSeconds(ReadFolder(lastWindowFolder), freshFolder() / "written");
        ok = ok && write > 0;
        splitTimes.push_back(window);
        previewedTimes.push_back(previewed);
        tiffsplitTimes.push_back(tool);
        cliSplitTimes.push_back(cli);
        writeTimes.push_back(write);
        std::printf("batch_window: split round %d: window %.3f s (processor %.3f s), with the file previewed before "
                    "%.3f s (processor %.3f s), pagewright-batch %.3f s, tiffsplit %.3f s, writing the page files %.3f s\n",
                    round + 1, window, splitProcessor.back(), previewed, previewedProcessor.back(), cli, tool, write);
    }

    wxTheApp->OnExit();
    wxEntryCleanup();
    fs::remove_all(dir);

    const double window = Median(windowTimes), cli = Median(cliTimes), cp = Median(copyTimes);
    std::printf("batch_window: merge of %d A4 300 dpi G4 files, medians of %d rounds: Merge All in the window %.3f s, "
                "pagewright-batch %.3f s, ratio %.3f (target <= 1.05)\n",
                count, kRounds, window, cli, window / cli);
    std::printf("batch_window: Merge All through the tools %.2f s / builtin %.3f s = %.0fx (target >= 50); "
                "builtin / cp of the same files %.3f s = %.2f (target <= 3)\n",
                t.seconds, window, t.seconds / window, cp, window / cp);
    std::printf("batch_window: processor time, tools included, all rounds: window %.2f s, pagewright-batch %.2f s, "
                "ratio %.3f\n",
                windowProcessor, cliProcessor, windowProcessor / cliProcessor);
    std::printf("batch_window: 10 ms timer on the window's thread during the merges: median gap %.1f ms, "
                "longest gap %.1f ms (target <= 100 ms)\n",
                Median(allGaps), longestGap);
    const double split = Median(splitTimes), previewed = Median(previewedTimes), tiffsplit = Median(tiffsplitTimes),
                 write = Median(writeTimes);
    std::printf("batch_window: split of a %d-page file, medians of %d rounds: Split All in the window %.3f s "
                "(processor %.3f s), with the file previewed before %.3f s (processor %.3f s), pagewright-batch %.3f s, "
                "tiffsplit %.3f s, "
                "writing the page files %.3f s; window / tiffsplit %.2f, previewed / tiffsplit %.2f (target <= 1), "
                "window / writing %.2f, previewed / writing %.2f\n",
                kSplitPages, splitRounds, split, Median(splitProcessor), previewed, Median(previewedProcessor),
                Median(cliSplitTimes), tiffsplit, write, split / tiffsplit, previewed / tiffsplit, split / write, previewed / write);
    if (!ok)
        std::fprintf(stderr, "bench_batch_window: a batch failed or the outputs differ\n");
    return ok ? 0 : 1;
}
