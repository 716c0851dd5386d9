// Whole batches with the real tools: a long batch gets every status right,
// and a batch stopped part-way leaves no tool running, no temporary file,
// and outputs that hold exactly the entries reported "Success".

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "engine/BatchPlan.h"
#include "engine/BatchSession.h"
#include "engine/TempImages.h"
#include "platform/ProcessRunner.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::CountDirectories;
using test::PagePixels;
using test::ReadPagePixels;
using test::TempFolder;

class StatusRecorder : public BatchObserver {
public:
    void OnProgress(int) override { ++notices_; }
    void OnItemStarted(int index) override
    {
        ++notices_;
        if (index == kBatchFinished)
            finished_ = true;
    }
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++notices_;
        statuses_.push_back({index, status, reason});
    }
    struct Entry {
        int index;
        std::string status, reason;
    };
    std::vector<Entry> Statuses() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return statuses_;
    }
    int Notices() const { return notices_; }
    bool Finished() const { return finished_; }

private:
    mutable std::mutex mutex_;
    std::vector<Entry> statuses_;
    std::atomic<int> notices_{0};
    std::atomic<bool> finished_{false};
};

std::vector<pid_t> ChildProcesses()
{
    std::vector<pid_t> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t close = text.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(text.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent == ::getpid())
            children.push_back(std::stoi(name));
    }
    return children;
}

std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class BatchReliability : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(out_);
    }

    std::vector<std::string> Sources(int count, int pages, uint32_t size)
    {
        std::vector<std::string> sources;
        for (int i = 0; i < count; ++i) {
            specs_.push_back(test::Page(8, COMPRESSION_NONE, size + i % 5, size));
            sources.push_back(in_ + "in" + std::to_string(i) + ".tif");
            EXPECT_TRUE(test::WriteTiff(sources.back(), pages, specs_.back()));
        }
        return sources;
    }

    // Starts the batch, stops it from this thread once `after` statuses have
    // arrived, and checks what every stop must leave behind.
    std::vector<StatusRecorder::Entry> RunAndStop(const char* operation, const std::vector<std::string>& sources,
                                                  const std::string& place, size_t after)
    {
        BatchPlan plan = PlanBatch(operation, sources, place);
        EXPECT_TRUE(plan.ok) << plan.error;
        EXPECT_TRUE(test::WriteBytes(TempImagePath(1), "png"));
        session_.SetCurrentOperation(operation);
        EXPECT_TRUE(session_.Start(std::move(plan.job), recorder_));
        while (recorder_.Statuses().size() < after && session_.IsRunning())
            std::this_thread::sleep_for(1ms);
        session_.Stop();

        EXPECT_FALSE(session_.IsRunning());
        EXPECT_EQ(RunningToolProcessCount(), 0);
        EXPECT_THAT(ChildProcesses(), ::testing::IsEmpty()) << "no tool process left";
        EXPECT_NE(::access(TempImagePath(1).c_str(), F_OK), 0) << "temporary images removed";
        const int notices = recorder_.Notices();
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(recorder_.Notices(), notices) << "nothing reported after the stop";
        EXPECT_FALSE(recorder_.Finished());

        const std::vector<StatusRecorder::Entry> statuses = recorder_.Statuses();
        EXPECT_GE(statuses.size(), after);
        EXPECT_LT(statuses.size(), sources.size()) << "the stop came before the end";
        for (size_t i = 0; i < statuses.size(); ++i) {
            EXPECT_EQ(statuses[i].index, static_cast<int>(i));
            EXPECT_EQ(statuses[i].status, "Success") << statuses[i].reason;
        }
        return statuses;
    }

    TempFolder temp_;
    test::ScopedEnvironment tmpdir_{"TMPDIR", temp_.path()};
    test::ScopedEnvironment configHome_{"XDG_CONFIG_HOME", temp_.path()};
    TempFolder work_;
    std::string in_ = [this] {
        fs::create_directory(work_ / "in");
        return work_ / "in/";
    }();
    std::string out_ = work_ / "out";
    test::ProgramFolder program_{true};
    std::vector<test::PageSpec> specs_;
    BatchSession session_;
    StatusRecorder recorder_;
};

TEST_F(BatchReliability, AThousandEntryCompressGetsEveryStatusRight)
{
    std::vector<std::string> sources = Sources(1000, 1, 16);
    std::set<int> bad;
    for (int i = 13; i < 1000; i += 97) {
        test::WriteNonTiff(sources[i]);
        bad.insert(i);
    }
    for (int i = 50; i < 1000; i += 101) {
        sources[i] = in_ + "missing" + std::to_string(i) + ".tif";
        bad.insert(i);
    }
    BatchPlan plan = PlanBatch("Compress", sources, out_);
    ASSERT_TRUE(plan.ok) << plan.error;
    session_.SetCurrentOperation("Compress");
    ASSERT_TRUE(session_.Start(std::move(plan.job), recorder_));
    session_.WaitUntilIdle();

    EXPECT_TRUE(recorder_.Finished());
    EXPECT_EQ(recorder_.Notices(), 3 * 1000 + 1);
    const auto statuses = recorder_.Statuses();
    ASSERT_EQ(statuses.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(statuses[i].index, i);
        const bool good = bad.count(i) == 0;
        EXPECT_EQ(statuses[i].status, good ? "Success" : "Failed") << i << " " << statuses[i].reason;
        const std::string output = out_ + "/in" + std::to_string(i) + ".tif";
        if (good) {
            EXPECT_EQ(ReadPagePixels(output, 0), PagePixels(specs_[i], 0)) << i;
        } else if (sources[i].find("missing") == std::string::npos) {
            EXPECT_FALSE(fs::exists(output)) << i;
        }
    }
    EXPECT_EQ(FilesIn(out_).size(), 1000u - bad.size()) << "no temporary file left";
    EXPECT_EQ(RunningToolProcessCount(), 0);
}

class StoppedBatch : public BatchReliability, public ::testing::WithParamInterface<size_t> {};

TEST_P(StoppedBatch, MergeOutputHoldsExactlyTheSuccessfulEntriesInOrder)
{
    const std::vector<std::string> sources = Sources(120, 2, 400);
    const std::string merged = out_ + "/merged.tif";
    const auto statuses = RunAndStop("Merge", sources, merged, GetParam());
    ASSERT_EQ(CountDirectories(merged), static_cast<int>(2 * statuses.size()));
    for (size_t i = 0; i < statuses.size(); ++i) {
        for (int page = 0; page < 2; ++page)
            EXPECT_EQ(ReadPagePixels(merged, static_cast<int>(2 * i) + page), PagePixels(specs_[i], page))
                << "entry " << i << " page " << page;
    }
    EXPECT_EQ(FilesIn(out_), (std::set<std::string>{"merged.tif"}));
}

TEST_P(StoppedBatch, CompressLeavesOnlyWholeOutputs)
{
    const std::vector<std::string> sources = Sources(120, 2, 400);
    const auto statuses = RunAndStop("Compress", sources, out_, GetParam());
    std::set<std::string> written = FilesIn(out_);
    // The one entry whose tool ended just before the stop may have left its
    // output, whole, without a status.
    const std::string next = "in" + std::to_string(statuses.size()) + ".tif";
    if (written.erase(next) != 0) {
        EXPECT_EQ(ReadPagePixels(out_ + "/" + next, 1), PagePixels(specs_[statuses.size()], 1));
    }
    EXPECT_EQ(written.size(), statuses.size());
    for (size_t i = 0; i < statuses.size(); ++i)
        EXPECT_EQ(ReadPagePixels(out_ + "/in" + std::to_string(i) + ".tif", 1), PagePixels(specs_[i], 1)) << i;
}

TEST_P(StoppedBatch, SplitLeavesPagesOnlyForReportedEntries)
{
    const std::vector<std::string> sources = Sources(120, 2, 400);
    const auto statuses = RunAndStop("Split", sources, out_, GetParam());
    for (size_t i = 0; i < sources.size(); ++i) {
        const std::string folder = out_ + "/in" + std::to_string(i) + "_" + std::to_string(i + 1);
        // The folder of the entry the stop cut short goes with its pages.
        const size_t files = std::filesystem::exists(folder) ? FilesIn(folder).size() : 0;
        EXPECT_EQ(files, i < statuses.size() ? 2u : 0u) << folder;
    }
}

INSTANTIATE_TEST_SUITE_P(After, StoppedBatch, ::testing::Values(1, 7, 30));

}  // namespace
}  // namespace pw
