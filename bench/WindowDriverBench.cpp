// The Windows window driven from another process (tests/windows/WindowDriver),
// run by hand under Wine:
// - Merge All of FILES A4 300 dpi G4 files from the window, the save dialog
//   answered through its controls, from the button press to the end of the
//   batch on the window (and apart the time until the batch started),
//   against `pagewright-batch.exe merge` of the same files (the program
//   started and waited for); rounds alternate which goes first, medians are
//   reported;
// - UM_ADD_FILE of ADDS files sent one after the other into an empty list:
//   the time until the list view counts the last row.
//
// Usage: bench_window_driver [FILES [ROUNDS [ADDS]]]   (needs a display)

#include "bench/A4Corpus.h"
#include "platform/WideText_win32.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/windows/WindowDriver.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace pw::bench;
using pw::test::WindowDriver;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

int Fail(const char* what) {
    std::fprintf(stderr, "bench_window_driver: %s\n", what);
    return 1;
}

// Seconds of one Merge All from the window, and of those the ones until
// the batch started (the save dialog answered and its call returned: the
// Information line no longer shows the driver's mark); negative when it
// failed.
double WindowMerge(WindowDriver& window, const std::string& output, double* dialog) {
    fs::remove(fs::path(pw::Widen(output)));
    const auto start = Clock::now();
    const bool answered = window.StartBatch(pw::IDC_MERGEALL) && window.AnswerSaveDialog(pw::test::WindowsPath(output)) &&
                          pw::test::WaitUntil([&] { return window.ControlText(pw::IDC_INFORMATION) != L"Batch starting"; });
    *dialog = Since(start);
    if (!answered || !window.WaitForBatchEnd(std::chrono::minutes(10))) {
        Fail("the window's merge did not end");
        return -1;
    }
    const double seconds = Since(start);
    return pw::test::CountDirectories(output) == static_cast<int>(window.RowCount()) ? seconds : -1;
}

double ProgramMerge(const std::vector<std::string>& files, const std::string& output) {
    fs::remove(fs::path(pw::Widen(output)));
    std::wstring commandLine = L"\"" + pw::test::WindowsPath(PAGEWRIGHT_BATCH_EXE) + L"\" merge --out \"" +
                               pw::Widen(output) + L"\"";
    for (const std::string& file : files)
        commandLine += L" \"" + pw::Widen(file) + L"\"";
    // Its lines and progress go to NUL: with a hidden console of its own
    // instead, Wine took several times as long as the merge itself.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                               nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION info{};
    const auto start = Clock::now();
    const BOOL started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                          nullptr, nullptr, &startup, &info);
    ::CloseHandle(nul);
    if (!started)
        return -1;
    ::CloseHandle(info.hThread);
    ::WaitForSingleObject(info.hProcess, INFINITE);
    const double seconds = Since(start);
    DWORD code = 1;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hProcess);
    return code == 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 200;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const int adds = argc > 3 ? std::atoi(argv[3]) : 1000;
    pw::test::TempFolder folder;

    std::printf("writing %d A4 G4 files...\n", files);
    const std::vector<std::string> corpus = WriteA4G4Files(folder.path(), files);
    if (corpus.empty())
        return Fail("the corpus could not be written");

    WindowDriver window;
    if (!window.Start(PAGEWRIGHT_EXE))
        return Fail("the window did not start");
    for (const std::string& file : corpus)
        window.AddFile(pw::test::WindowsPath(file));
    if (window.RowCount() != files)
        return Fail("the files did not all enter the list");

    std::vector<double> windowTimes, dialogTimes, programTimes;
    for (int round = 0; round < rounds; ++round) {
        const std::string output = folder / "merged.tif";
        double w = 0, d = 0, p = 0;
        if (round % 2 == 0) {
            w = WindowMerge(window, output, &d);
            p = ProgramMerge(corpus, output);
        } else {
            p = ProgramMerge(corpus, output);
            w = WindowMerge(window, output, &d);
        }
        if (w < 0 || p < 0)
            return Fail("a merge failed");
        std::printf("round %d: window %.3f s (until the batch started %.3f s), pagewright-batch %.3f s\n", round + 1, w,
                    d, p);
        windowTimes.push_back(w);
        dialogTimes.push_back(d);
        programTimes.push_back(p);
    }
    const double w = Median(windowTimes), d = Median(dialogTimes), p = Median(programTimes);
    std::printf("Merge All of %d files, medians of %d rounds: window %.3f s (until the batch started %.3f s), "
                "pagewright-batch merge %.3f s, ratio %.2f (%.2f from the batch's start)\n",
                files, rounds, w, d, p, w / p, (w - d) / p);
    window.Close();

    // Small files: what is measured is the messages and the list.
    pw::test::TempFolder small;
    std::vector<std::wstring> paths;
    for (int i = 0; i < adds; ++i) {
        const std::string path = small / ("Größe " + std::to_string(i) + ".tif");
        if (!pw::test::WriteTiff(path, 1))
            return Fail("a small file could not be written");
        paths.push_back(pw::test::WindowsPath(path));
    }
    WindowDriver list;
    if (!list.Start(PAGEWRIGHT_EXE))
        return Fail("the window did not start");
    const auto start = Clock::now();
    for (const std::wstring& path : paths)
        list.AddFile(path);
    const bool all = pw::test::WaitUntil([&] { return list.RowCount() == adds; }, std::chrono::minutes(5));
    const double seconds = Since(start);
    if (!all)
        return Fail("the list did not count every file");
    std::printf("UM_ADD_FILE of %d files: %.3f s until the last row (%.2f ms a file)\n", adds, seconds,
                seconds * 1000 / adds);
    list.Close();
    return 0;
}
