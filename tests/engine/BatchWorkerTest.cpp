// The worker's protocol, seen by a recording observer, with operations that
// only record what they were asked to do.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tiffio.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>

#include "engine/BatchWorker.h"
#include "platform/Paths.h"
#include "platform/ProcessRunner.h"
#include "tests/engine/ToolTestSupport.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using test::CountDirectories;
using test::PagePixels;
using test::ReadPagePixels;
using test::TempFolder;

// The file of a TIFF handle, closed without libtiff.
void CloseTiffFile(int fd)
{
#ifdef _WIN32
    ::CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd)));
#else
    ::close(fd);
#endif
}

class RecordingObserver : public BatchObserver {
public:
    void OnProgress(int position) override { events.push_back("progress " + std::to_string(position)); }
    void OnItemStarted(int index) override { events.push_back("started " + std::to_string(index)); }
    void OnItemStatus(int index, const std::string& status, const std::string& reason) override
    {
        events.push_back("status " + std::to_string(index) + " " + status + (reason.empty() ? "" : " (" + reason + ")"));
    }
    std::vector<std::string> events;
};

struct Call {
    std::string operation, source, output, arguments, useCompression, method;
    StopSignal* stop;
};

// Operations whose result is looked up by source; a hook runs inside each
// call (to request a stop, or to append real pages).
class FakeOperations : public BatchOperations {
public:
    bool Compress(const std::string& source, const std::string& destination, const std::string& arguments,
                  const std::string& method, StopSignal* stop, ToolOutcome* outcome) override
    {
        return Record({"Compress", source, destination, arguments, "", method, stop}, outcome);
    }
    bool Merge(const std::string& source, const std::string& output, const std::string& arguments,
               const std::string& useCompression, const std::string& method, StopSignal* stop,
               ToolOutcome* outcome) override
    {
        return Record({"Merge", source, output, arguments, useCompression, method, stop}, outcome);
    }
    bool Split(const std::string& source, const std::string& output, StopSignal* stop, ToolOutcome* outcome) override
    {
        return Record({"Split", source, output, "", "", "", stop}, outcome);
    }

    std::map<std::string, std::string> failures;  // source -> reason ("" = fail without one)
    std::function<bool(const Call&)> hook;         // its result replaces success
    std::vector<Call> calls;

private:
    bool Record(const Call& call, ToolOutcome* outcome)
    {
        calls.push_back(call);
        bool ok = true;
        if (hook)
            ok = hook(call);
        if (auto failure = failures.find(call.source); failure != failures.end()) {
            outcome->reason = failure->second;
            return false;
        }
        return ok;
    }
};

class FakeHost : public BatchWorkerHost {
public:
    bool IsStopRequested() const override { return stopRequested; }
    bool Notify(std::function<void()> notice, bool) override
    {
        if (stopRequested && dropAfterStop)
            return false;
        notice();
        return true;
    }
    StopSignal* ToolStopSignal() override { return &signal; }

    bool stopRequested = false;
    bool dropAfterStop = true;
    StopSignal signal;
};

BatchJob Job(int count, const std::string& outputBase = "/out/")
{
    BatchJob job;
    for (int i = 0; i < count; ++i) {
        job.sources.push_back("/in/file" + std::to_string(i) + ".tif");
        job.outputs.push_back(outputBase + "file" + std::to_string(i) + ".tif");
        job.compressionArguments.push_back(i % 2 ? "\"-c\" \"lzw\"" : "");
    }
    job.useCompression = "TRUE";
    job.compressionMethod = "lzw";
    return job;
}

TEST(BatchWorker, FourEntriesReportProgressStartStatusInOrderThenFinish)
{
    FakeOperations operations;
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Compress", Job(4), operations, observer, host);
    EXPECT_THAT(observer.events,
                ElementsAre("progress 24", "started 0", "status 0 Success", "progress 49", "started 1",
                            "status 1 Success", "progress 74", "started 2", "status 2 Success", "progress 99",
                            "started 3", "status 3 Success", "started -1"));
}

TEST(BatchWorker, OneEntryShowsNinetyNine)
{
    FakeOperations operations;
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Split", Job(1), operations, observer, host);
    EXPECT_THAT(observer.events, ElementsAre("progress 99", "started 0", "status 0 Success", "started -1"));
}

TEST(BatchWorker, ProgressIsTheShareDoneWhenTheEntryIsFinished)
{
    for (int count : {2, 3, 7, 100, 1000}) {
        FakeOperations operations;
        RecordingObserver observer;
        FakeHost host;
        RunBatchWorker("Compress", Job(count), operations, observer, host);
        std::vector<std::string> progress;
        for (const std::string& event : observer.events)
            if (event.rfind("progress", 0) == 0)
                progress.push_back(event);
        ASSERT_EQ(progress.size(), static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(progress[i], "progress " + std::to_string((99 + 100 * i) / count)) << count;
        EXPECT_EQ(progress.back(), "progress 99");
    }
}

TEST(BatchWorker, EachOperationGetsItsArguments)
{
    FakeOperations operations;
    RecordingObserver observer;
    FakeHost host;
    TempFolder dir;
    ASSERT_EQ(::mkdir((dir / "split").c_str(), 0755), 0);
    const BatchJob job = Job(2, dir / "split/");
    RunBatchWorker("Compress", job, operations, observer, host);
    RunBatchWorker("Split", job, operations, observer, host);
    ASSERT_EQ(operations.calls.size(), 4u);
    for (int i = 0; i < 2; ++i) {
        const Call& compress = operations.calls[i];
        EXPECT_EQ(compress.operation, "Compress");
        EXPECT_EQ(compress.source, job.sources[i]);
        EXPECT_EQ(compress.output, job.outputs[i]);
        EXPECT_EQ(compress.arguments, job.compressionArguments[i]);
        EXPECT_EQ(compress.method, "lzw");
        EXPECT_EQ(compress.stop, &host.signal);
        // A split writes its pages, under the output's base name, into a
        // folder of its own beside the split folder.
        const Call& split = operations.calls[2 + i];
        EXPECT_EQ(split.operation, "Split");
        EXPECT_EQ(split.source, job.sources[i]);
        EXPECT_THAT(split.output, ::testing::StartsWith(dir.path() + "/.pagewright-"));
        EXPECT_THAT(split.output, ::testing::EndsWith(kPathSeparator + ("file" + std::to_string(i) + ".tif")));
    }
}

TEST(BatchWorker, MergeAppendsEverySourceToAFileBesideTheOutputWhichReplacesItAtTheEnd)
{
    TempFolder dir;
    BatchJob job = Job(3);
    job.outputs = {dir / "merged.tif", dir / "other.tif", dir / "other.tif"};
    ASSERT_TRUE(test::WriteBytes(job.outputs[0], "an old merge"));
    FakeOperations operations;
    bool oldOutputKept = true;
    operations.hook = [&](const Call& call) {
        oldOutputKept = oldOutputKept && test::ReadBytes(job.outputs[0]) == "an old merge";
        return test::WriteBytes(call.output, test::ReadBytes(call.output) + call.source + ";");
    };
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Merge", job, operations, observer, host);
    EXPECT_TRUE(oldOutputKept) << "the old output stays until the batch ends";
    ASSERT_EQ(operations.calls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(operations.calls[i].source, job.sources[i]);
        EXPECT_EQ(operations.calls[i].output, operations.calls[0].output);
        EXPECT_EQ(operations.calls[i].arguments, job.compressionArguments[i]);
        EXPECT_EQ(operations.calls[i].useCompression, "TRUE");
        EXPECT_EQ(operations.calls[i].method, "lzw");
    }
    EXPECT_EQ(test::ReadBytes(job.outputs[0]), job.sources[0] + ";" + job.sources[1] + ";" + job.sources[2] + ";");
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::vector<std::string>{"merged.tif"}));
}

// Nothing merged - every entry failed, or a stop came first: the old output
// stays as it was and no temporary file is left.
TEST(BatchWorker, AMergeWithoutAnySuccessLeavesTheOldOutputAlone)
{
    for (const bool stopFirst : {false, true}) {
        TempFolder dir;
        BatchJob job = Job(2);
        job.outputs.assign(2, dir / "merged.tif");
        ASSERT_TRUE(test::WriteBytes(job.outputs[0], "an old merge"));
        FakeOperations operations;
        operations.hook = [&](const Call& call) { return test::WriteBytes(call.output, "half a page"); };
        for (const std::string& source : job.sources)
            operations.failures[source] = "damaged";
        RecordingObserver observer;
        FakeHost host;
        host.stopRequested = stopFirst;
        RunBatchWorker("Merge", job, operations, observer, host);
        EXPECT_EQ(operations.calls.size(), stopFirst ? 0u : 2u);
        EXPECT_EQ(test::ReadBytes(job.outputs[0]), "an old merge");
        EXPECT_EQ(test::FolderEntries(dir.path()), (std::vector<std::string>{"merged.tif"}));
    }
}

// The folder of the merged file removed and made again during the batch (a
// clean-up script, say): the pages merged so far are gone, so every entry
// fails - those reported "Success" before are reported again - and the
// old output stays; the file a later append starts anew goes too.
TEST(BatchWorker, AMergeWhoseFileIsRemovedDuringTheBatchFailsEveryEntry)
{
    TempFolder dir;
    const std::string folder = dir / "out";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    BatchJob job = Job(3);
    job.outputs.assign(3, folder + "/merged.tif");
    FakeOperations operations;
    bool removed = true;
    operations.hook = [&](const Call& call) {
        if (call.source == job.sources[1]) {
            std::error_code error;
            std::filesystem::remove_all(folder, error);
            removed = !error;
            ::mkdir(folder.c_str(), 0755);
        }
        return test::WriteBytes(call.output, test::ReadBytes(call.output) + call.source + ";");
    };
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Merge", job, operations, observer, host);
    if (!removed)
        GTEST_SKIP() << "this system keeps a folder that holds an open file from being removed";
    const std::string lost = " (the file being merged beside " + job.outputs[0] + " was removed or replaced)";
    EXPECT_THAT(observer.events, ElementsAre("progress 33", "started 0", "status 0 Success", "progress 66",
                                             "started 1", "status 1 Failed" + lost, "status 0 Failed" + lost,
                                             "progress 99", "started 2", "status 2 Failed" + lost, "started -1"));
    EXPECT_EQ(operations.calls.size(), 2u) << "nothing more is merged into a file that is gone";
    EXPECT_TRUE(test::FolderEntries(folder).empty());
}

// A merge whose temporary file cannot be made (a folder the user may not
// write) fails every entry with the reason instead of appending to the old
// output.
TEST(BatchWorker, AMergeThatCannotWriteBesideTheOutputFailsEveryEntry)
{
    BatchJob job = Job(2);
    job.outputs.assign(2, "/proc/self/merged.tif");
    FakeOperations operations;
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Merge", job, operations, observer, host);
    EXPECT_TRUE(operations.calls.empty());
    ASSERT_EQ(observer.events.size(), 7u);
    EXPECT_THAT(observer.events[2], ::testing::StartsWith("status 0 Failed (cannot write in the folder of"));
}

// A split that fails takes away the page files it wrote, as a stopped one
// does; page files that were there before stay.
TEST(BatchWorker, AFailedSplitLeavesNoPageFileOfItsOwn)
{
    TempFolder dir;
    BatchJob job = Job(1);
    job.outputs = {dir / "scan.tif"};
    ASSERT_TRUE(test::WriteBytes(dir / "scanold.tif", "from before"));
    FakeOperations operations;
    operations.hook = [&](const Call& call) {
        return test::WriteBytes(call.output.substr(0, call.output.size() - 4) + "aaa.tif", "half");
    };
    operations.failures[job.sources[0]] = "tiffsplit failed";
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Split", job, operations, observer, host);
    EXPECT_EQ(test::FolderEntries(dir.path()), (std::vector<std::string>{"scanold.tif"}));
}

TEST(BatchWorker, FailuresAreReportedWithTheirReasonAndTheBatchGoesOn)
{
    FakeOperations operations;
    const BatchJob job = Job(3);
    operations.failures[job.sources[0]] = "tiffcp is missing";
    operations.failures[job.sources[2]] = "";
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Compress", job, operations, observer, host);
    EXPECT_THAT(observer.events,
                ElementsAre("progress 33", "started 0", "status 0 Failed (tiffcp is missing)", "progress 66",
                            "started 1", "status 1 Success", "progress 99", "started 2",
                            "status 2 Failed (the operation failed)", "started -1"));
}

TEST(BatchWorker, AnOperationThatThrowsFailsItsEntryOnly)
{
    FakeOperations operations;
    const BatchJob job = Job(2);
    operations.hook = [&](const Call& call) -> bool {
        if (call.source == job.sources[0])
            throw std::runtime_error("out of memory");
        return true;
    };
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Compress", job, operations, observer, host);
    EXPECT_THAT(observer.events, ElementsAre("progress 49", "started 0", "status 0 Failed (out of memory)",
                                             "progress 99", "started 1", "status 1 Success", "started -1"));
}

TEST(BatchWorker, AStopRequestSetBeforeTheFirstEntryProcessesNothing)
{
    TempFolder dir;
    BatchJob job = Job(3);
    job.outputs.assign(3, dir / "merged.tif");
    FakeOperations operations;
    RecordingObserver observer;
    FakeHost host;
    host.stopRequested = true;
    host.dropAfterStop = false;  // show what the worker tries to say
    RunBatchWorker("Merge", job, operations, observer, host);
    EXPECT_TRUE(operations.calls.empty());
    EXPECT_THAT(observer.events, ElementsAre("started -1"));
    EXPECT_TRUE(test::FolderEntries(dir.path()).empty());
}

TEST(BatchWorker, AStopDuringAnEntryEndsTheLoopAndNoFurtherNoticeIsMade)
{
    FakeOperations operations;
    FakeHost host;
    const BatchJob job = Job(5);
    operations.hook = [&](const Call& call) {
        if (call.source == job.sources[2])
            host.stopRequested = true;
        return true;
    };
    RecordingObserver observer;
    RunBatchWorker("Compress", job, operations, observer, host);
    EXPECT_EQ(operations.calls.size(), 3u);
    EXPECT_THAT(observer.events, ElementsAre("progress 19", "started 0", "status 0 Success", "progress 39",
                                             "started 1", "status 1 Success", "progress 59", "started 2"));
}

// A front that carries notices to another thread is waited for only at the
// end: an entry's start and its status are notices of their own, and a
// stop requested while a status is shown starts no further entry.
TEST(BatchWorker, OnlyTheFinishedNoticeIsWaitedForAndAStopStartsNoFurtherEntry)
{
    class MarkingHost : public FakeHost {
    public:
        explicit MarkingHost(RecordingObserver& observer) : observer_(observer) {}
        bool Notify(std::function<void()> notice, bool wait) override
        {
            observer_.events.push_back(wait ? "|wait" : "|");
            return FakeHost::Notify(std::move(notice), wait);
        }

    private:
        RecordingObserver& observer_;
    };
    class StoppingObserver : public RecordingObserver {
    public:
        void OnItemStatus(int index, const std::string& status, const std::string& reason) override
        {
            RecordingObserver::OnItemStatus(index, status, reason);
            if (index == stopAt && host)
                host->stopRequested = true;
        }
        int stopAt = -1;
        FakeHost* host = nullptr;
    };

    FakeOperations operations;
    StoppingObserver whole;
    MarkingHost wholeHost(whole);
    RunBatchWorker("Compress", Job(2), operations, whole, wholeHost);
    EXPECT_THAT(whole.events, ElementsAre("|", "progress 49", "started 0", "|", "status 0 Success", "|",
                                          "progress 99", "started 1", "|", "status 1 Success", "|wait", "started -1"));

    StoppingObserver stopped;
    MarkingHost stoppedHost(stopped);
    stopped.stopAt = 1;
    stopped.host = &stoppedHost;
    RunBatchWorker("Compress", Job(3), operations, stopped, stoppedHost);
    EXPECT_THAT(stopped.events, ElementsAre("|", "progress 33", "started 0", "|", "status 0 Success", "|",
                                            "progress 66", "started 1", "|", "status 1 Success", "|", "|wait"))
        << "after the stop neither the next start nor the finished notice is made";
}

TEST(BatchWorker, AnUnknownOperationRunsNoEntryButFinishes)
{
    for (const char* operation : {"compress", "MERGE", "Split ", ""}) {
        FakeOperations operations;
        RecordingObserver observer;
        FakeHost host;
        RunBatchWorker(operation, Job(2), operations, observer, host);
        EXPECT_TRUE(operations.calls.empty()) << operation;
        EXPECT_THAT(observer.events, ElementsAre("started -1")) << operation;
    }
}

TEST(BatchWorker, AJobWithShortListsRunsNoEntry)
{
    BatchJob job = Job(3);
    job.compressionArguments.pop_back();
    FakeOperations operations;
    RecordingObserver observer;
    FakeHost host;
    RunBatchWorker("Compress", job, operations, observer, host);
    EXPECT_TRUE(operations.calls.empty());
    EXPECT_THAT(observer.events, ElementsAre("started -1"));

    RunBatchWorker("Merge", BatchJob(), operations, observer, host);
    EXPECT_TRUE(operations.calls.empty());
}

TEST(BatchWorker, AStoppedSplitLosesThePageFilesItWroteAndKeepsOlderOnes)
{
    TempFolder dir;
    BatchJob job = Job(3);
    for (int i = 0; i < 3; ++i)
        job.outputs[i] = dir / ("file" + std::to_string(i) + ".tif");
    ASSERT_TRUE(test::WriteBytes(dir / "file2-older.tif", "not written by this split"));
    FakeOperations operations;
    FakeHost host;
    operations.hook = [&](const Call& call) {
        const std::string prefix = call.output.substr(0, call.output.size() - 4);
        test::WriteBytes(prefix + "aaa.tif", "page 1");
        test::WriteBytes(prefix + "aab.tif", "page 2");
        if (call.source == job.sources[2])
            host.stopRequested = true;
        return true;
    };
    RecordingObserver observer;
    RunBatchWorker("Split", job, operations, observer, host);
    for (const char* kept : {"file0aaa.tif", "file0aab.tif", "file1aaa.tif", "file1aab.tif", "file2-older.tif"})
        EXPECT_EQ(::access((dir / kept).c_str(), F_OK), 0) << kept;
    for (const char* gone : {"file2aaa.tif", "file2aab.tif"})
        EXPECT_NE(::access((dir / gone).c_str(), F_OK), 0) << gone;
}

// The batch makes every split folder before it begins; a stop leaves only
// those that got page files, and any that something else has filled since.
TEST(BatchWorker, AStoppedSplitRemovesTheEmptyFoldersOfEntriesThatNeverRan)
{
    TempFolder dir;
    BatchJob job = Job(4);
    for (int i = 0; i < 4; ++i) {
        const std::string folder = dir / ("f" + std::to_string(i));
        ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
        job.outputs[i] = folder + "/p.tif";
    }
    ASSERT_TRUE(test::WriteBytes(dir / "f3/since.txt", "put there during the batch"));
    FakeOperations operations;
    FakeHost host;
    operations.hook = [&](const Call& call) {
        test::WriteBytes(call.output.substr(0, call.output.size() - 4) + "aaa.tif", "page 1");
        if (call.source == job.sources[1])
            host.stopRequested = true;
        return true;
    };
    RecordingObserver observer;
    RunBatchWorker("Split", job, operations, observer, host);
    EXPECT_EQ(test::FolderEntries(dir / "f0"), std::vector<std::string>{"paaa.tif"});
    for (const char* gone : {"f1", "f2"})
        EXPECT_NE(::access((dir / gone).c_str(), F_OK), 0) << gone;
    EXPECT_EQ(test::FolderEntries(dir / "f3"), std::vector<std::string>{"since.txt"});
}

// Merge with appends made the way tiffcp -a makes them, so that taking an
// append back can be checked on real pages.
class MergeTakeBack : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 4; ++i) {
            job_.sources.push_back(dir_ / ("source" + std::to_string(i) + ".tif"));
            ASSERT_TRUE(test::WriteTiff(job_.sources.back(), 2, SourceShape(i)));
            job_.compressionArguments.push_back("");
        }
        job_.outputs.assign(4, dir_ / "merged.tif");
        operations_.hook = [this](const Call& call) { return Append(call.source, call.output); };
    }

    static test::PageSpec SourceShape(int source)
    {
        test::PageSpec shape = test::Page(8, COMPRESSION_NONE, 20 + source, 10);
        return shape;
    }

    // Appends the source's pages; the page numbered `breakAfter` of the
    // whole batch is left half-written and the append reports failure.
    bool Append(const std::string& source, const std::string& output)
    {
        TIFF* in = TIFFOpen(source.c_str(), "r");
        TIFF* out = TIFFOpen(output.c_str(), "a");
        bool ok = in != nullptr && out != nullptr;
        do {
            if (!ok)
                break;
            uint32_t width = 0, height = 0;
            TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
            TIFFGetField(in, TIFFTAG_IMAGELENGTH, &height);
            TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width);
            TIFFSetField(out, TIFFTAG_IMAGELENGTH, height);
            TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
            TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
            std::vector<uint8_t> row(TIFFScanlineSize(in));
            for (uint32_t y = 0; y < height; ++y) {
                TIFFReadScanline(in, row.data(), y, 0);
                TIFFWriteScanline(out, row.data(), y, 0);
            }
            if (pagesWritten_++ == breakAfter_) {
                ok = false;  // the tool dies here: its page data is out, its directory is not
                break;
            }
            TIFFWriteDirectory(out);
        } while (TIFFReadDirectory(in));
        if (in != nullptr)
            TIFFClose(in);
        if (out != nullptr) {
            if (!ok) {
                const int fd = TIFFFileno(out);
                TIFFCleanup(out);  // no directory written, like a killed process
                CloseTiffFile(fd);  // which the end of that process would close
            }
            else
                TIFFClose(out);
        }
        return ok;
    }

    void ExpectMergedSources(const std::vector<int>& sources)
    {
        ASSERT_EQ(CountDirectories(job_.outputs[0]), static_cast<int>(2 * sources.size()));
        int page = 0;
        for (int source : sources) {
            for (int i = 0; i < 2; ++i, ++page)
                EXPECT_EQ(ReadPagePixels(job_.outputs[0], page), PagePixels(SourceShape(source), i))
                    << "source " << source << " page " << i;
        }
    }

    TempFolder dir_;
    BatchJob job_;
    FakeOperations operations_;
    RecordingObserver observer_;
    FakeHost host_;
    int pagesWritten_ = 0;
    int breakAfter_ = -1;
};

TEST_F(MergeTakeBack, AFailedAppendLeavesNoneOfItsPages)
{
    breakAfter_ = 3;  // the second page of source 1
    RunBatchWorker("Merge", job_, operations_, observer_, host_);
    EXPECT_THAT(observer_.events[5], "status 1 Failed (the operation failed)");
    ExpectMergedSources({0, 2, 3});
}

TEST_F(MergeTakeBack, AFailedFirstAppendLeavesNoFileForTheNextToStartFrom)
{
    breakAfter_ = 1;
    RunBatchWorker("Merge", job_, operations_, observer_, host_);
    ExpectMergedSources({1, 2, 3});
}

TEST_F(MergeTakeBack, AnAppendWhoseSuccessCannotBeReportedAfterAStopIsTakenBack)
{
    operations_.hook = [this](const Call& call) {
        const bool ok = Append(call.source, call.output);
        if (call.source == job_.sources[2])
            host_.stopRequested = true;  // the stop arrives while source 2 is appended
        return ok;
    };
    RunBatchWorker("Merge", job_, operations_, observer_, host_);
    EXPECT_THAT(observer_.events, ElementsAre("progress 24", "started 0", "status 0 Success", "progress 49",
                                              "started 1", "status 1 Success", "progress 74", "started 2"));
    ExpectMergedSources({0, 1});
}

}  // namespace
}  // namespace pw
