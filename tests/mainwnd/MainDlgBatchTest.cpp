// Batches started from the main window's buttons on a real display, with
// the tools of the system and every dialog answered by the test.

#include "engine/BatchOperations.h"
#include "engine/BatchSession.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/CommandLine.h"
#include "mainwnd/MergeOutputFile.h"
#include "platform/ProcessRunner.h"
#include "res/ResourceIds.h"
#include "settings/CompressionMethod.h"
#include "settings/DialogSettings.h"
#include "settings/ProgramSettings.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/ui/WxTestEnvironment.h"
#include "ui/ChooseFolder.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"
#include "ui/XMessageBoxDialog.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/testing.h>
#include <wx/timer.h>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <functional>
#include <memory>
#include <stdexcept>

namespace pw {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// Answers every message box of ours with `answer` and keeps what it asked.
class BoxAnswers : public wxModalDialogHook {
public:
    explicit BoxAnswers(int answer) : answer_(answer) { Register(); }
    ~BoxAnswers() override { Unregister(); }
    struct Box {
        wxWindow* owner;
        std::string caption, text;
    };
    std::vector<Box> boxes;

protected:
    int Enter(wxDialog* dialog) override {
        auto* box = dynamic_cast<XMessageBoxDialog*>(dialog);
        if (!box)
            return wxID_NONE;
        boxes.push_back({box->GetParent(), PathFromWx(box->GetTitle()), box->CopyText()});
        return answer_;
    }
    void Exit(wxDialog*) override {}

private:
    int answer_;
};

// A window over files of its own, with the system's tools in a program
// folder, settings and temporary files in folders of the test.
class BatchWindow : public ::testing::Test {
protected:
    TempFolder files, out, config, temp;
    test::ProgramFolder program;
    test::ScopedEnvironment configHome{"XDG_CONFIG_HOME", config.path()};
    test::ScopedEnvironment tempHome{"TMPDIR", temp.path()};
    std::unique_ptr<CMainDlg, void (*)(CMainDlg*)> dlg{nullptr, [](CMainDlg* d) { d->Destroy(); }};
    std::vector<std::string> sources;

    void SetUp() override {
        const char* argv[] = {"pagewright"};
        SetProgramArguments(1, argv);
        SetFolderDialogRunner([this](wxWindow*, const std::string&) { return std::optional<std::string>(out.path()); });
        dlg.reset(new CMainDlg(nullptr));
        dlg->Show();
    }
    void TearDown() override {
        SetFolderDialogRunner(nullptr);
        SetSaveDialogRunner(nullptr);
        SetProgramArguments(0, nullptr);
    }

    // Files "f00.tif", ... with pages[i] pages each, added to the list.
    void AddFiles(const std::vector<int>& pages) {
        for (size_t i = 0; i < pages.size(); ++i) {
            sources.push_back(files / ("f" + std::to_string(100 + i).substr(1) + ".tif"));
            ASSERT_TRUE(test::WriteTiff(sources.back(), pages[i], test::Page(8, COMPRESSION_NONE, 40, 30)));
        }
        dlg->AddFiles(sources);
    }
    // The save dialog answers with the path as typed.
    void SaveAs(const std::string& typed) {
        SetSaveDialogRunner([typed](wxWindow*) { return std::optional<std::string>(typed); });
    }
    void Press(int id) {
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(dlg->FindWindow(id));
        dlg->FindWindow(id)->ProcessWindowEvent(click);
    }
    wxString Caption(int id) { return wxControl::RemoveMnemonics(dlg->FindWindow(id)->GetLabel()); }
    wxString Information() { return dynamic_cast<wxStaticText*>(dlg->FindWindow(IDC_INFORMATION))->GetLabelText(); }
    std::string Status(long row) { return PathFromWx(dlg->GetFileList()->GetItemText(row, 3)); }
    int Successes() {
        int n = 0;
        for (long i = 0; i < dlg->GetFileList()->GetItemCount(); ++i)
            n += Status(i) == "Success";
        return n;
    }
    // Does what a user would do the moment the condition holds: from a timer
    // of the window's event loop, so that the batch cannot run on to its end
    // while a test waits for events to be handled. False on a time-out.
    bool ActWhen(const std::function<bool()>& ready, const std::function<void()>& act) {
        bool acted = false;
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (acted || !ready())
                return;
            acted = true;
            timer.Stop();
            act();
        });
        timer.Start(5);
        const bool ok = test::WaitFor([&] { return acted; }, 60000);
        timer.Stop();
        return ok;
    }
    bool WaitDone() {
        return test::WaitFor([&] { return !BatchSession::Instance().IsRunning() && Information() == "Done."; },
                             60000);
    }
    void ExpectIdle() {
        EXPECT_EQ(Caption(IDC_COMPRESS), "Compress");
        EXPECT_EQ(Caption(IDC_MERGEALL), "Merge All");
        EXPECT_EQ(Caption(IDC_SPLITALL), "Split All");
        EXPECT_FALSE(dlg->IsBatchRunning());
        EXPECT_FALSE(BatchSession::Instance().IsRunning());
        EXPECT_EQ(RunningToolProcessCount(), 0);
        EXPECT_EQ(dlg->GetProgressBar()->GetValue(), 0);
    }
    // Page k of the merged file holds page p of file f, in list order.
    void ExpectMergedPages(const std::string& merged, const std::vector<int>& pages, size_t files) {
        int page = 0;
        for (size_t f = 0; f < files; ++f)
            for (int p = 0; p < pages[f]; ++p, ++page)
                EXPECT_EQ(test::ReadPagePixels(merged, page), test::ReadPagePixels(sources[f], p)) << f << "/" << p;
        EXPECT_EQ(test::CountDirectories(merged), page);
    }
};

// Merge All and Split All on either engine: "builtin", which an unset
// "Engine" means, and "tools".
class BatchWindowEngine : public BatchWindow, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        BatchWindow::SetUp();
        if (GetParam() == kEngineTools)
            ASSERT_TRUE(WriteEngineSetting(false));
    }
    // Enough files for a batch to be stopped on its way: the builtin engine
    // copies a small file in a fraction of a millisecond.
    int StoppableCount() const { return GetParam() == kEngineBuiltin ? 1500 : 50; }
};

INSTANTIATE_TEST_SUITE_P(Engines, BatchWindowEngine, ::testing::Values(kEngineBuiltin, kEngineTools),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST_F(BatchWindow, CompressesEveryFileIntoTheChosenFolder) {
    ASSERT_TRUE(WriteCompressMethodSetting(FindCompressionMethod("lzw")->index));
    AddFiles({2, 1, 3});
    Press(IDC_COMPRESS);
    EXPECT_EQ(Caption(IDC_COMPRESS), "Stop");
    EXPECT_EQ(Information(), "Please waiting...");
    ASSERT_TRUE(WaitDone());
    ExpectIdle();
    EXPECT_EQ(ReadOpenFolder(), out.path());
    for (size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(Status(i), "Success");
        const std::string copy = out / fs::path(sources[i]).filename().string();
        ASSERT_EQ(test::CountDirectories(copy), test::CountDirectories(sources[i]));
        for (int p = 0; p < test::CountDirectories(copy); ++p)
            EXPECT_EQ(test::ReadPagePixels(copy, p), test::ReadPagePixels(sources[i], p));
    }
    // The last row processed is the one selected and focused.
    EXPECT_EQ(dlg->GetFileList()->GetSelectedItems(), std::vector<long>{2});
    EXPECT_EQ(dlg->GetFileList()->GetFocusedItem(), 2);
}

TEST_F(BatchWindow, AFailedRowKeepsWhyItFailed) {
    AddFiles({1});
    const std::string text = files / "notes.tif";
    ASSERT_TRUE(test::WriteNonTiff(text));
    dlg->AddFiles({text});
    Press(IDC_COMPRESS);
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(Status(0), "Success");
    EXPECT_EQ(dlg->GetFileList()->GetItemNote(0), "");
    EXPECT_EQ(Status(1), "Failed");
    EXPECT_FALSE(dlg->GetFileList()->GetItemNote(1).empty());
    // A new batch starts with no reasons left over.
    SetFolderDialogRunner([](wxWindow*, const std::string&) { return std::optional<std::string>(); });
    dlg->ClearInformationColumn();
    EXPECT_EQ(dlg->GetFileList()->GetItemNote(1), "");
}

TEST_P(BatchWindowEngine, MergesIntoTheSavedFileWithTheExtensionAdded) {
    AddFiles({1, 2, 3});
    SaveAs(out / "merged");
    Press(IDC_MERGEALL);
    EXPECT_EQ(Caption(IDC_MERGEALL), "Stop");
    ASSERT_TRUE(WaitDone());
    ExpectIdle();
    for (long i = 0; i < 3; ++i)
        EXPECT_EQ(Status(i), "Success");
    ExpectMergedPages(out / "merged.tif", {1, 2, 3}, 3);

    // Typed again without the extension: the completed name exists, and a
    // No to the replace question starts nothing.
    const std::string before = test::ReadBytes(out / "merged.tif");
    SaveAs(out / "merged");
    {
        BoxAnswers no(IDNO);
        Press(IDC_MERGEALL);
        EXPECT_EQ(no.boxes.size(), 1u);
    }
    EXPECT_EQ(Caption(IDC_MERGEALL), "Merge All");
    EXPECT_EQ(test::ReadBytes(out / "merged.tif"), before);
}

TEST_F(BatchWindow, TakesTheRowsThereWereBeforeTheOutputWasAskedFor) {
    AddFiles({1, 2});
    const std::string late = files / "late.tif";
    ASSERT_TRUE(test::WriteTiff(late, 4, test::Page(8, COMPRESSION_NONE, 40, 30)));
    SetSaveDialogRunner([&](wxWindow*) {
        dlg->AddExistingFile(late.c_str());  // another program adds it while the dialog is open
        return std::optional<std::string>(out / "merged.tif");
    });
    Press(IDC_MERGEALL);
    ASSERT_TRUE(WaitDone());
    ASSERT_EQ(dlg->GetFileList()->GetItemCount(), 3);
    EXPECT_EQ(Status(2), "");
    ExpectMergedPages(out / "merged.tif", {1, 2}, 2);
}

TEST_P(BatchWindowEngine, SplitsIntoFoldersNamedByTheRule) {
    ASSERT_TRUE(WriteNamingRule("Demo1_"));
    AddFiles({2, 1, 3});
    fs::create_directories(out / "Demo1__2");
    ASSERT_TRUE(test::WriteNonTiff(out / "Demo1__2/old.txt"));
    Press(IDC_SPLITALL);
    ASSERT_TRUE(WaitDone());
    ExpectIdle();
    const int pages[] = {2, 1, 3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Status(i), "Success");
        const fs::path folder = out / ("Demo1__" + std::to_string(i + 1));
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            EXPECT_EQ(entry.path().filename().string().rfind("f0" + std::to_string(i), 0), 0u) << entry.path();
            ++count;
        }
        EXPECT_EQ(count, pages[i]) << folder;
    }
}

TEST_P(BatchWindowEngine, StopInTheMiddleOfAMergeKeepsExactlyTheFinishedPages) {
    const int count = StoppableCount();
    AddFiles(std::vector<int>(count, 1));
    SaveAs(out / "all.tif");
    Press(IDC_MERGEALL);
    ASSERT_TRUE(ActWhen([&] { return Successes() >= 5; }, [&] { Press(IDC_MERGEALL); }));
    ExpectIdle();
    EXPECT_EQ(Information(), "Done.");
    // After the stop nothing of the batch reaches the window any more.
    const int done = Successes();
    test::Pump();
    wxMilliSleep(200);
    test::Pump();
    EXPECT_EQ(Successes(), done);
    EXPECT_LT(done, count);
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(Status(i), i < done ? "Success" : "") << i;
    ExpectMergedPages(out / "all.tif", std::vector<int>(count, 1), done);
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST_F(BatchWindow, ANoticeThatFailsBringsTheWindowBackToIdle) {
    AddFiles(std::vector<int>(20, 1));
    bool thrown = false;
    // The row the batch moves on to is selected within a notice.
    dlg->GetFileList()->Bind(EVT_FILELIST_SELECTION_CHANGED, [&](wxCommandEvent& event) {
        event.Skip();
        if (!thrown && Successes() >= 2) {
            thrown = true;
            throw std::runtime_error("a notice failed");
        }
    });
    Press(IDC_COMPRESS);
    ASSERT_TRUE(test::WaitFor([&] { return thrown && !dlg->IsBatchRunning(); }, 60000));
    ExpectIdle();
    EXPECT_EQ(Information(), "Done.");
    EXPECT_LT(Successes(), 20);
}

// Stands for a tool on a hung network mount: each entry runs a tool that
// ignores SIGTERM, and then is held in a call that no stop interrupts until
// the test lets it go (after 20 seconds at the latest).
class HungOperations : public BatchOperations {
public:
    explicit HungOperations(std::string pidFile) : pidFile_(std::move(pidFile)) {}
    bool Compress(const std::string&, const std::string&, const std::string&, const std::string&, StopSignal* stop,
                  ToolOutcome*) override {
        std::string output;
        RunAndCapture(CommandLine{"stubborn tool",
                                  {"/bin/sh", "-c", "echo $$ > '" + pidFile_ + "'; trap '' TERM; exec /bin/sleep 60"}},
                      output, nullptr, stop);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!released && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        returned = true;
        return true;
    }
    bool Merge(const std::string&, const std::string&, const std::string&, const std::string&, const std::string&,
               StopSignal*, ToolOutcome*) override {
        return false;
    }
    bool Split(const std::string&, const std::string&, StopSignal*, ToolOutcome*) override { return false; }
    std::atomic<bool> released{false}, returned{false};

private:
    std::string pidFile_;
};

TEST_F(BatchWindow, StopComesBackWithoutAWorkerThatCannotEnd) {
    AddFiles({1, 1});
    const std::string pidFile = temp / "tool.pid";
    auto* hung = new HungOperations(pidFile);  // outlives the worker it is left to
    dlg->SetBatchOperations(hung);
    Press(IDC_COMPRESS);
    ASSERT_TRUE(test::WaitFor([&] { return test::ReadBytes(pidFile).size() > 1; }, 10000));
    const pid_t tool = std::stoi(test::ReadBytes(pidFile));
    Press(IDC_COMPRESS);  // Stop
    // The window is back while the worker is still held, and the tool that
    // ignored the polite end is gone.
    EXPECT_FALSE(hung->returned);
    ExpectIdle();
    EXPECT_EQ(Information(), "Done.");
    EXPECT_NE(::kill(tool, 0), 0);
    // What the worker does once it is let go reaches the window no more.
    hung->released = true;
    ASSERT_TRUE(test::WaitFor([&] { return hung->returned.load(); }, 30000));
    test::WaitFor([] { return false; }, 300);
    EXPECT_EQ(Status(0), "");
    EXPECT_EQ(Information(), "Done.");
    // The next batch runs as usual.
    dlg->SetBatchOperations(nullptr);
    Press(IDC_COMPRESS);
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(Successes(), 2);
}

// Operations that throw what the worker does not expect: it ends without
// its finished notice.
class ThrowingOperations : public HungOperations {
public:
    ThrowingOperations() : HungOperations("") {}
    bool Compress(const std::string&, const std::string&, const std::string&, const std::string&, StopSignal*,
                  ToolOutcome*) override {
        throw 42;
    }
};

TEST_F(BatchWindow, AWorkerThatFailsBringsTheWindowBackToIdle) {
    AddFiles({1, 1});
    ThrowingOperations throwing;
    dlg->SetBatchOperations(&throwing);
    Press(IDC_COMPRESS);
    ASSERT_TRUE(WaitDone());
    ExpectIdle();
    dlg->SetBatchOperations(nullptr);
}

TEST_F(BatchWindow, MergeAllDuringACompressStopsItAndACancelLeavesAllIdle) {
    AddFiles(std::vector<int>(40, 1));
    Press(IDC_COMPRESS);
    SetSaveDialogRunner([](wxWindow*) { return std::optional<std::string>(); });
    ASSERT_TRUE(ActWhen([&] { return Successes() >= 2; }, [&] { Press(IDC_MERGEALL); }));
    ExpectIdle();
    const int done = Successes();
    EXPECT_LT(done, 40);
    test::Pump();
    EXPECT_EQ(Successes(), done);
}

TEST_F(BatchWindow, ClosingDuringABatchAsksFirst) {
    AddFiles(std::vector<int>(30, 1));
    Press(IDC_COMPRESS);
    {
        BoxAnswers no(IDNO);
        dlg->Close();
        ASSERT_EQ(no.boxes.size(), 1u);
        EXPECT_EQ(no.boxes[0].owner, dlg.get());
        EXPECT_EQ(no.boxes[0].caption, "Ostrel Converter");
        EXPECT_NE(no.boxes[0].text.find("Are you sure to stop?"), std::string::npos);
    }
    EXPECT_TRUE(dlg->IsShown());
    ASSERT_TRUE(WaitDone());
    EXPECT_EQ(Successes(), 30);

    Press(IDC_COMPRESS);
    {
        BoxAnswers yes(IDYES);
        ASSERT_TRUE(ActWhen([&] { return Successes() >= 1; }, [&] { dlg->Close(); }));
        EXPECT_EQ(yes.boxes.size(), 1u);
    }
    EXPECT_FALSE(dlg->IsShown());
    ExpectIdle();
    // A hidden list whose image lists Destroy has taken back may still lay
    // out its rows' icons before it is deleted (a fault of the list, not of
    // the batch); without rows it has none to lay out.
    dlg->GetFileList()->DeleteAllItems();
    dlg.reset();
    test::Pump();

    // No batch: the window closes without a question.
    dlg.reset(new CMainDlg(nullptr));
    dlg->Show();
    BoxAnswers none(IDNO);
    dlg->Close();
    EXPECT_TRUE(none.boxes.empty());
    EXPECT_FALSE(dlg->IsShown());
}

TEST_F(BatchWindow, AWindowDestroyedMidBatchStopsItsBatch) {
    AddFiles(std::vector<int>(30, 1));
    Press(IDC_COMPRESS);
    ASSERT_TRUE(test::WaitFor([&] { return Successes() >= 1; }, 60000));
    dlg.reset();
    EXPECT_FALSE(BatchSession::Instance().IsRunning());
    EXPECT_EQ(RunningToolProcessCount(), 0);
    test::Pump();
    wxMilliSleep(100);
    test::Pump();
}

TEST_P(BatchWindowEngine, ClosingDuringAMergeAsksFirstAndKeepsTheFinishedPages) {
    const int count = StoppableCount();
    AddFiles(std::vector<int>(count, 1));
    SaveAs(out / "all.tif");
    Press(IDC_MERGEALL);
    {
        BoxAnswers no(IDNO);
        dlg->Close();
        ASSERT_EQ(no.boxes.size(), 1u);
        EXPECT_EQ(no.boxes[0].caption, "Ostrel Converter");
    }
    EXPECT_TRUE(dlg->IsShown());
    EXPECT_TRUE(dlg->IsBatchRunning());
    {
        BoxAnswers yes(IDYES);
        ASSERT_TRUE(ActWhen([&] { return Successes() >= 5; }, [&] { dlg->Close(); }));
        EXPECT_EQ(yes.boxes.size(), 1u);
    }
    EXPECT_FALSE(dlg->IsShown());
    ExpectIdle();
    const int done = Successes();
    EXPECT_LT(done, count);
    ExpectMergedPages(out / "all.tif", std::vector<int>(count, 1), done);
    EXPECT_TRUE(fs::is_empty(temp.path()));
    dlg->GetFileList()->DeleteAllItems();
    dlg.reset();
    test::Pump();
}

// Unset, "Engine" copies the pages without any tool; "tools" needs them.
TEST_F(BatchWindow, TheDefaultEngineMergesAndSplitsWithoutTheTools) {
    for (const char* tool : {"tiffinfo", "tiffcp", "tiffsplit"})
        program.RemoveTool(tool);
    ASSERT_TRUE(WriteNamingRule("S"));
    AddFiles({2, 1, 3});
    SaveAs(out / "merged.tif");
    Press(IDC_MERGEALL);
    ASSERT_TRUE(WaitDone());
    for (long i = 0; i < 3; ++i)
        EXPECT_EQ(Status(i), "Success") << i;
    ExpectMergedPages(out / "merged.tif", {2, 1, 3}, 3);

    Press(IDC_SPLITALL);
    ASSERT_TRUE(WaitDone());
    const int pages[] = {2, 1, 3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Status(i), "Success") << i;
        const fs::path folder = out / ("S_" + std::to_string(i + 1));
        for (int p = 0; p < pages[i]; ++p) {
            const std::string page = folder / ("f0" + std::to_string(i) + "aa" + std::string(1, char('a' + p)) + ".tif");
            EXPECT_EQ(test::ReadPagePixels(page, 0), test::ReadPagePixels(sources[i], p)) << page;
        }
    }

    ASSERT_TRUE(WriteEngineSetting(false));
    SaveAs(out / "again.tif");
    Press(IDC_MERGEALL);
    ASSERT_TRUE(WaitDone());
    for (long i = 0; i < 3; ++i) {
        EXPECT_EQ(Status(i), "Failed") << i;
        EXPECT_FALSE(dlg->GetFileList()->GetItemNote(i).empty()) << i;
    }
    EXPECT_FALSE(fs::exists(out / "again.tif"));
}

// A batch of the tools lasts long enough to change the list while it runs.
TEST_F(BatchWindow, RowsRemovedDuringABatchGetNoOtherFilesStatus) {
    ASSERT_TRUE(WriteEngineSetting(false));
    AddFiles(std::vector<int>(30, 1));
    SaveAs(out / "all.tif");
    Press(IDC_MERGEALL);
    ASSERT_TRUE(test::WaitFor([&] { return Successes() >= 3; }, 60000));
    dlg->GetFileList()->DeleteItem(0);
    dlg->GetFileList()->DeleteItem(0);
    ASSERT_TRUE(test::WaitFor([&] { return Successes() >= 6 || Information() == "Done."; }, 60000));
    dlg->GetFileList()->DeleteAllItems();
    dlg->UpdateButtons();
    // Emptying the list leaves the running batch's button usable.
    EXPECT_TRUE(dlg->FindWindow(IDC_MERGEALL)->IsEnabled() || Information() == "Done.");
    ASSERT_TRUE(WaitDone());
    EXPECT_FALSE(dlg->FindWindow(IDC_MERGEALL)->IsEnabled());
    EXPECT_EQ(test::CountDirectories(out / "all.tif"), 30);
}

TEST_F(BatchWindow, RowsMovedUpByARemovalGetTheirOwnStatus) {
    ASSERT_TRUE(WriteEngineSetting(false));
    AddFiles(std::vector<int>(30, 1));
    SaveAs(out / "all.tif");
    Press(IDC_MERGEALL);
    ASSERT_TRUE(test::WaitFor([&] { return Successes() >= 2; }, 60000));
    dlg->GetFileList()->DeleteItem(0);
    ASSERT_TRUE(test::WaitFor([&] { return Successes() >= 4; }, 60000));
    dlg->GetFileList()->DeleteItem(2);
    ASSERT_TRUE(WaitDone());
    // Every row below a removed one moved up and still gets the status of
    // its own file; the running row was selected where it had moved.
    ASSERT_EQ(dlg->GetFileList()->GetItemCount(), 28);
    for (long i = 0; i < 28; ++i)
        EXPECT_EQ(Status(i), "Success") << i;
    EXPECT_EQ(dlg->GetFileList()->GetSelectedItems(), std::vector<long>{27});
    EXPECT_EQ(test::CountDirectories(out / "all.tif"), 30);
}

TEST_F(BatchWindow, RefusedPlansAreToldAndChangeNothing) {
    AddFiles({1, 2});
    const std::string before = test::ReadBytes(sources[1]);
    {
        BoxAnswers ok(IDOK);
        SaveAs(sources[1]);
        Press(IDC_MERGEALL);
        ASSERT_EQ(ok.boxes.size(), 1u);
        EXPECT_NE(ok.boxes[0].text.find(sources[1]), std::string::npos) << ok.boxes[0].text;
    }
    EXPECT_EQ(test::ReadBytes(sources[1]), before);
    EXPECT_EQ(Caption(IDC_MERGEALL), "Merge All");
    EXPECT_EQ(Information(), "Information");

    // A split folder that cannot be made stops the start silently.
    SetFolderDialogRunner([](wxWindow*, const std::string&) { return std::optional<std::string>("/proc"); });
    BoxAnswers none(IDOK);
    Press(IDC_SPLITALL);
    EXPECT_TRUE(none.boxes.empty());
    EXPECT_EQ(Caption(IDC_SPLITALL), "Split All");

    // A cancelled folder choice starts nothing and remembers nothing.
    SetFolderDialogRunner([](wxWindow*, const std::string&) { return std::optional<std::string>(); });
    Press(IDC_COMPRESS);
    EXPECT_EQ(Caption(IDC_COMPRESS), "Compress");
    EXPECT_EQ(ReadOpenFolder(), "/proc");
    EXPECT_EQ(Information(), "Information");
    // A notice for a row beyond the list selects nothing.
    dlg->OnItemStarted(5);
    EXPECT_EQ(dlg->GetFileList()->GetSelectedItemCount(), 0);
    EXPECT_FALSE(BatchSession::Instance().IsRunning());
}

}  // namespace
}  // namespace pw
