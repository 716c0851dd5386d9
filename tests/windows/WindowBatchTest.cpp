// The window's batches and list commands driven from another process as a
// Windows test tool drives them: buttons pressed by their numbers, the save
// dialog, the folder chooser, the program's dialogs and message boxes
// answered through their controls, the results read back page by page.
// Every path, the program's folder included, has names that are not ASCII.
// Runs under Wine on a display.

#include "platform/WideText_win32.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/windows/WindowDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace pw {
namespace {

using namespace std::chrono_literals;
using test::WindowDriver;

namespace fs = std::filesystem;

constexpr wchar_t kSuccess[] = L"Success";

// The program with its three tools in a folder of the test's own, so that
// its "Pagewright.ini" (beside it, the folder being writable) is the test's.
class ProgramCopy {
public:
    ProgramCopy() : m_folder(m_root / "Programm 程序") {
        const fs::path bin = fs::path(test::WindowsPath(PAGEWRIGHT_EXE)).parent_path();
        fs::create_directory(fs::path(Widen(m_folder)));
        for (const wchar_t* name : {L"pagewright.exe", L"tiffcp.exe", L"tiffsplit.exe", L"tiffinfo.exe"})
            ::CopyFileW((bin / name).c_str(), (fs::path(Widen(m_folder)) / name).c_str(), FALSE);
    }
    std::string Exe() const { return m_folder + "/pagewright.exe"; }
    // The settings file's whole text ("" removes it).
    void Settings(const std::string& text) const {
        const fs::path ini = fs::path(Widen(m_folder)) / L"Pagewright.ini";
        std::error_code ignored;
        fs::remove(ini, ignored);
        if (!text.empty())
            std::ofstream(ini, std::ios::binary) << "[Pagewright]\r\n" << text;
    }

private:
    test::TempFolder m_root;
    std::string m_folder;
};

class WindowBatchTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_program = new ProgramCopy; }
    static void TearDownTestSuite() {
        delete s_program;
        s_program = nullptr;
    }
    void SetUp() override {
        s_program->Settings("");
        fs::create_directory(fs::path(Widen(In())));
        fs::create_directory(fs::path(Widen(Out())));
    }

    std::string In() const { return m_files / "Eingang 入力"; }
    std::string Out() const { return m_files / "Ausgabe 出力"; }

    bool Start(WindowDriver& window) const { return window.Start(s_program->Exe()); }

    static ProgramCopy* s_program;
    test::TempFolder m_files;
};

ProgramCopy* WindowBatchTest::s_program = nullptr;

// Source i of a batch: its own width, so that every page tells which file
// and which of its pages it came from.
test::PageSpec Shape(int source) { return test::Page(8, COMPRESSION_NONE, 40 + source, 24); }

std::vector<std::string> WriteSources(const std::string& folder, const std::vector<int>& pageCounts) {
    std::vector<std::string> paths;
    for (size_t i = 0; i < pageCounts.size(); ++i) {
        const std::string path = folder + "/Größe 文書 " + std::to_string(i) + ".tif";
        if (!test::WriteTiff(path, pageCounts[i], Shape(static_cast<int>(i))))
            return {};
        paths.push_back(path);
    }
    return paths;
}

// Which (source, page) each page of the file holds, by its pixels; -1, -1
// for a page that is none of them.
std::vector<std::pair<int, int>> PageOrigins(const std::string& path, const std::vector<int>& pageCounts) {
    std::vector<std::pair<int, int>> origins;
    const int pages = test::CountDirectories(path);
    for (int p = 0; p < pages; ++p) {
        const std::vector<uint8_t> pixels = test::ReadPagePixels(path, p);
        std::pair<int, int> origin{-1, -1};
        for (int s = 0; s < static_cast<int>(pageCounts.size()) && origin.first < 0; ++s)
            for (int q = 0; q < pageCounts[s]; ++q)
                if (pixels == test::PagePixels(Shape(s), q))
                    origin = {s, q};
        origins.push_back(origin);
    }
    return origins;
}

std::vector<std::pair<int, int>> AllPages(const std::vector<int>& pageCounts) {
    std::vector<std::pair<int, int>> pages;
    for (int s = 0; s < static_cast<int>(pageCounts.size()); ++s)
        for (int q = 0; q < pageCounts[s]; ++q)
            pages.emplace_back(s, q);
    return pages;
}

bool AddAll(WindowDriver& window, const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (window.AddFile(test::WindowsPath(path)) != LRESULT(0))
            return false;
    return window.RowCount() == static_cast<int>(paths.size());
}

std::vector<std::wstring> Statuses(const WindowDriver& window) {
    std::vector<std::wstring> statuses;
    for (const auto& row : window.Rows())
        statuses.push_back(row[3]);
    return statuses;
}

int Compression(const std::string& path) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif)
        return -1;
    uint16_t compression = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFClose(tif);
    return compression;
}

int CountOf(const std::vector<std::wstring>& statuses, const std::wstring& status) {
    return static_cast<int>(std::count(statuses.begin(), statuses.end(), status));
}

// The names in a folder, sorted.
std::vector<std::wstring> Names(const std::string& folder) {
    std::vector<std::wstring> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(fs::path(Widen(folder)), ignored))
        names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(WindowBatchTest, MergeAllAndSplitAllWriteEveryPageOfEveryRow) {
    const std::vector<int> counts{2, 3};
    const std::vector<std::string> sources = WriteSources(In(), counts);
    ASSERT_EQ(sources.size(), 2u);
    WindowDriver window;
    ASSERT_TRUE(Start(window));
    ASSERT_TRUE(AddAll(window, sources));

    const std::string merged = Out() + "/Zusammen 合併.tif";
    ASSERT_TRUE(window.StartBatch(IDC_MERGEALL));
    ASSERT_TRUE(window.AnswerSaveDialog(test::WindowsPath(merged))) << window.DescribeOtherWindows();
    ASSERT_TRUE(window.WaitForBatchEnd());
    EXPECT_EQ(Statuses(window), (std::vector<std::wstring>{kSuccess, kSuccess}));
    EXPECT_EQ(PageOrigins(merged, counts), AllPages(counts));

    // Without a naming rule each source's pages go to a folder named after
    // it and its row.
    const std::string split = m_files / "Teile 部分";
    fs::create_directory(fs::path(Widen(split)));
    ASSERT_TRUE(window.StartBatch(IDC_SPLITALL));
    std::wstring browser;
    ASSERT_TRUE(window.AnswerFolderDialog(test::WindowsPath(split), &browser)) << window.DescribeOtherWindows();
    // The browser's title text, and its status line following the selection.
    EXPECT_EQ(browser, L"Please select a folder:\n" + test::WindowsPath(split));
    ASSERT_TRUE(window.WaitForBatchEnd());
    EXPECT_EQ(Statuses(window), (std::vector<std::wstring>{kSuccess, kSuccess}));
    EXPECT_EQ(Names(split), (std::vector<std::wstring>{Widen("Größe 文書 0_1"), Widen("Größe 文書 1_2")}));
    for (int s = 0; s < 2; ++s) {
        const std::string folder = split + "/Größe 文書 " + std::to_string(s) + "_" + std::to_string(s + 1);
        const std::vector<std::wstring> files = Names(folder);
        ASSERT_EQ(files.size(), static_cast<size_t>(counts[s])) << folder;
        for (int q = 0; q < counts[s]; ++q)
            EXPECT_EQ(PageOrigins(folder + "/" + Narrow(files[q]), counts),
                      (std::vector<std::pair<int, int>>{{s, q}}))
                << Narrow(files[q]);
    }
    EXPECT_EQ(window.Close(), DWORD(0));
}

TEST_F(WindowBatchTest, CompressUsesTheMethodChosenInOptionsAndExtractCopiesTheRange) {
    const std::vector<int> counts{4, 2};
    const std::vector<std::string> sources = WriteSources(In(), counts);
    ASSERT_EQ(sources.size(), 2u);
    WindowDriver window;
    ASSERT_TRUE(Start(window));
    ASSERT_TRUE(AddAll(window, sources));

    // The method is the Options dialog's: LZW, the second of its list.
    ASSERT_TRUE(window.Click(IDC_OPTIONS));
    HWND options = window.WaitForDialog(L"Setting");
    ASSERT_NE(options, nullptr);
    HWND method = test::DialogControl(options, IDC_OPTIONS_COMPRESSION);
    ASSERT_NE(method, nullptr) << test::DescribeWindow(options);
    DWORD_PTR chosen = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(method, CB_SETCURSEL, 1, 0, SMTO_NORMAL, 20000, &chosen));
    ASSERT_EQ(chosen, 1u);
    ASSERT_TRUE(test::ClickControl(options, IDC_DIALOG_OK));
    ASSERT_TRUE(window.WaitForDialogClosed(options));

    ASSERT_TRUE(window.StartBatch(IDC_COMPRESS));
    ASSERT_TRUE(window.AnswerFolderDialog(test::WindowsPath(Out())));
    ASSERT_TRUE(window.WaitForBatchEnd());
    EXPECT_EQ(Statuses(window), (std::vector<std::wstring>{kSuccess, kSuccess}));
    for (int s = 0; s < 2; ++s) {
        const std::string output = Out() + "/Größe 文書 " + std::to_string(s) + ".tif";
        EXPECT_EQ(Compression(output), COMPRESSION_LZW) << output;
        std::vector<std::pair<int, int>> pages;
        for (int q = 0; q < counts[s]; ++q)
            pages.emplace_back(s, q);
        EXPECT_EQ(PageOrigins(output, counts), pages) << output;
    }

    // Pages 2 and 3 of the first file, as a page list typed into the dialog.
    ASSERT_TRUE(window.SelectRow(0));
    ASSERT_TRUE(window.Click(IDC_EXTRACT));
    HWND extract = window.WaitForDialog(L"Extract Page Range from TIFF file");
    ASSERT_NE(extract, nullptr);
    EXPECT_EQ(test::WindowText(test::DialogControl(extract, IDC_PAGERANGE_FILENAME)), test::WindowsPath(sources[0]));
    EXPECT_EQ(test::WindowText(test::DialogControl(extract, IDC_PAGERANGE_PAGECOUNT)), L"4");
    ASSERT_TRUE(test::ClickControl(extract, IDC_PAGERANGE_MODELIST));
    ASSERT_TRUE(test::WaitUntil([&] { return ::IsWindowEnabled(test::DialogControl(extract, IDC_PAGERANGE_LIST)); }))
        << "the page list did not become editable";
    const std::string pieces = m_files / "Stücke 片";
    fs::create_directory(fs::path(Widen(pieces)));
    ASSERT_TRUE(test::SetControlText(extract, IDC_PAGERANGE_LIST, L"2-3"));
    ASSERT_TRUE(test::SetControlText(extract, IDC_PAGERANGE_FOLDER, test::WindowsPath(pieces)));
    ASSERT_TRUE(test::ClickControl(extract, IDC_DIALOG_OK));
    std::wstring question;
    ASSERT_TRUE(window.AnswerMessageBox(IDNO, &question));
    EXPECT_NE(question.find(L"Finished the extraction"), std::wstring::npos) << Narrow(question);
    EXPECT_EQ(Names(pieces), (std::vector<std::wstring>{Widen("Größe 文書 0-2-3.tif")}));
    EXPECT_EQ(PageOrigins(pieces + "/Größe 文書 0-2-3.tif", counts),
              (std::vector<std::pair<int, int>>{{0, 1}, {0, 2}}));
    EXPECT_EQ(window.Close(), DWORD(0));
}

TEST_F(WindowBatchTest, RemoveTakesTheSelectedRowAndRemoveAllEveryRow) {
    const std::vector<std::string> sources = WriteSources(In(), {1, 1, 1, 1});
    ASSERT_EQ(sources.size(), 4u);
    WindowDriver window;
    ASSERT_TRUE(Start(window));
    ASSERT_TRUE(AddAll(window, sources));
    const auto paths = [&] {
        std::vector<std::wstring> column;
        for (const auto& row : window.Rows())
            column.push_back(row[0]);
        return column;
    };

    // The row that takes the removed one's place is selected; after the
    // last row, the new last one.
    ASSERT_TRUE(window.SelectRow(1));
    ASSERT_TRUE(window.Click(IDC_REMOVE));
    ASSERT_TRUE(test::WaitUntil([&] { return window.RowCount() == 3; }));
    EXPECT_EQ(paths(), (std::vector<std::wstring>{test::WindowsPath(sources[0]), test::WindowsPath(sources[2]), test::WindowsPath(sources[3])}));
    EXPECT_EQ(window.SelectedRows(), std::vector<int>{1});
    ASSERT_TRUE(window.SelectRow(2));
    ASSERT_TRUE(window.Click(IDC_REMOVE));
    ASSERT_TRUE(test::WaitUntil([&] { return window.RowCount() == 2; }));
    EXPECT_EQ(paths(), (std::vector<std::wstring>{test::WindowsPath(sources[0]), test::WindowsPath(sources[2])}));
    EXPECT_EQ(window.SelectedRows(), std::vector<int>{1});

    EXPECT_TRUE(window.ControlEnabled(IDC_MERGEALL));
    ASSERT_TRUE(window.Click(IDC_REMOVEALL));
    ASSERT_TRUE(test::WaitUntil([&] { return window.RowCount() == 0; }));
    EXPECT_FALSE(window.ControlEnabled(IDC_MERGEALL));
    EXPECT_EQ(window.Close(), DWORD(0));
}

// On the tools' route a merge of 50 files takes long enough to be stopped
// in the middle.
class ToolMergeTest : public WindowBatchTest {
protected:
    void SetUp() override {
        WindowBatchTest::SetUp();
        s_program->Settings("Engine=tools\r\n");
        m_counts.assign(50, 1);
        m_sources = WriteSources(In(), m_counts);
        ASSERT_EQ(m_sources.size(), 50u);
        ASSERT_TRUE(Start(m_window));
        ASSERT_TRUE(AddAll(m_window, m_sources));
        ASSERT_TRUE(m_window.StartBatch(IDC_MERGEALL));
        ASSERT_TRUE(m_window.AnswerSaveDialog(test::WindowsPath(m_merged)));
    }
    // Until that many rows have succeeded, the batch still running.
    bool WaitForSuccesses(int count) {
        return test::WaitUntil([&] { return CountOf(Statuses(m_window), kSuccess) >= count; }, 120s) &&
               m_window.BatchRunning();
    }
    // The merged file holds the first pages of rows 0 to count - 1, as
    // the rows that succeeded, and nothing else is in the output folder.
    void ExpectMergedRows(int count) {
        std::vector<std::pair<int, int>> pages;
        for (int s = 0; s < count; ++s)
            pages.emplace_back(s, 0);
        EXPECT_EQ(PageOrigins(m_merged, m_counts), pages);
        EXPECT_EQ(Names(Out()), std::vector<std::wstring>{Widen("Zusammen 合併.tif")});
    }

    std::vector<int> m_counts;
    std::vector<std::string> m_sources;
    std::string m_merged = Out() + "/Zusammen 合併.tif";
    WindowDriver m_window;
};

TEST_F(ToolMergeTest, StopKeepsThePagesOfTheRowsThatSucceeded) {
    ASSERT_TRUE(WaitForSuccesses(3));
    // The tools run as the window's children, where the count below looks.
    ASSERT_TRUE(test::WaitUntil([&] { return test::ChildProcessCount(m_window.ProcessId(), L"tiffcp.exe") > 0; }));
    ASSERT_EQ(m_window.ButtonCaption(IDC_MERGEALL), L"Stop");
    ASSERT_TRUE(m_window.Click(IDC_MERGEALL));
    ASSERT_TRUE(m_window.WaitForBatchEnd(60s));
    EXPECT_EQ(m_window.ButtonCaption(IDC_MERGEALL), L"Merge All");
    EXPECT_EQ(test::ChildProcessCount(m_window.ProcessId(), L"tiffcp.exe"), 0);

    // The rows that succeeded come first, and the ones after them are
    // untouched but for the one that was running (its run ended).
    const std::vector<std::wstring> statuses = Statuses(m_window);
    const int succeeded = CountOf(statuses, kSuccess);
    EXPECT_LT(succeeded, 50) << "the batch ran to its end before the stop";
    EXPECT_TRUE(std::all_of(statuses.begin(), statuses.begin() + succeeded,
                            [](const std::wstring& s) { return s == kSuccess; }));
    EXPECT_LE(50 - CountOf(statuses, L""), succeeded + 1);
    ExpectMergedRows(succeeded);
    EXPECT_EQ(m_window.Close(), DWORD(0));
}

TEST_F(ToolMergeTest, ClosingAsksAndNoGoesOnWhileYesStopsAndCloses) {
    ASSERT_TRUE(WaitForSuccesses(2));
    ASSERT_TRUE(m_window.AskToClose());
    std::wstring question;
    ASSERT_TRUE(m_window.AnswerMessageBox(IDNO, &question, L"Ostrel Converter"));
    EXPECT_EQ(question, L"Are you sure to stop?");
    const int before = CountOf(Statuses(m_window), kSuccess);
    EXPECT_TRUE(WaitForSuccesses(before + 2)) << "the batch did not go on after No";
    EXPECT_TRUE(::IsWindowVisible(m_window.Window()));

    ASSERT_TRUE(m_window.AskToClose());
    ASSERT_TRUE(m_window.AnswerMessageBox(IDYES, nullptr, L"Ostrel Converter"));
    const int answered = before + 2;
    EXPECT_EQ(m_window.WaitForExit(), DWORD(0));
    EXPECT_EQ(test::ChildProcessCount(m_window.ProcessId(), L"tiffcp.exe"), 0);
    // The merge kept what it had when it was stopped, each page whole.
    const int pages = test::CountDirectories(m_merged);
    EXPECT_GE(pages, answered);
    EXPECT_LT(pages, 50);
    ExpectMergedRows(pages);
}

}  // namespace
}  // namespace pw
