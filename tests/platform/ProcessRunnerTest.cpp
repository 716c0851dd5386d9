#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/DebugTrace.h"
#include "platform/ProcessRunner.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WaitUntil;

CommandLine Sh(const std::string& script)
{
    return CommandLine{"/bin/sh -c <script>", {"/bin/sh", "-c", script}};
}

int CountOpenDescriptors()
{
    int count = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] != '.')
            ++count;
    }
    ::closedir(dir);
    return count - 1;  // the one opendir holds
}

bool HasUnreapedChild()
{
    int status;
    return ::waitpid(-1, &status, WNOHANG) != -1;  // -1 with ECHILD: no child at all
}

pid_t ReadPid(const std::string& path)
{
    const std::string text = ReadBytes(path);
    return text.empty() ? 0 : static_cast<pid_t>(std::stol(text));
}

// Every case runs twice: woken by the child's process descriptor, and
// without one (polling, as on kernels that have none).
class RunnerTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { SetProcessDescriptorsForTesting(GetParam()); }
    void TearDown() override { SetProcessDescriptorsForTesting(true); }
};

INSTANTIATE_TEST_SUITE_P(Waits, RunnerTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "WithPidfd" : "WithoutPidfd");
                         });

TEST_P(RunnerTest, ProgramThatPrintsNothingGivesEmptyOutput)
{
    std::string output;
    RunStatus status;
    EXPECT_NE(RunAndCapture("/bin/true", output, &status), 0);
    EXPECT_EQ(output, "");
    EXPECT_TRUE(status.started);
    EXPECT_TRUE(status.exited);
    EXPECT_EQ(status.exitCode, 0);
}

// A failed read ends the collecting; a child that goes on writing then
// cannot hold the run (it would fill the pipe and wait for ever).
TEST_P(RunnerTest, AReadErrorEndsTheRunEvenWhileTheChildKeepsWriting)
{
    SetReadFailuresForTesting(true);
    std::atomic<bool> done{false};
    RunStatus status;
    std::thread run([&] {
        std::string output;
        RunAndCapture(CommandLine{"yes", {"/usr/bin/yes"}}, output, &status);
        done = true;
    });
    const bool ended = WaitUntil([&] { return done.load(); });
    SetReadFailuresForTesting(false);
    if (!ended)
        TerminateToolProcesses();
    run.join();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(status.started);
    EXPECT_FALSE(status.exited) << "ended by SIGPIPE";
}

// A tool dies with the program that started it, however the program ends:
// here a copy of the test program, killed while its tool runs.
TEST_P(RunnerTest, TheToolDiesWithAKilledProgram)
{
    TempFolder folder;
    const std::string pidFile = folder / "pid";
    const pid_t program = ::fork();
    if (program == 0) {
        std::string output;
        RunAndCapture(Sh("echo $$ > '" + pidFile + "'; exec sleep 60"), output, nullptr);
        ::_exit(0);
    }
    ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(pidFile).empty(); }));
    const pid_t tool = ReadPid(pidFile);
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    const bool died = WaitUntil([tool] {
        std::ifstream stat("/proc/" + std::to_string(tool) + "/stat");
        std::string text;
        return !std::getline(stat, text) || text.find(") Z ") != std::string::npos;
    });
    if (!died)
        ::kill(tool, SIGKILL);
    EXPECT_TRUE(died);
}

TEST_P(RunnerTest, OutputIsAppendedNotReplaced)
{
    std::string output = "before|";
    RunAndCapture(Sh("printf after"), output);
    EXPECT_EQ(output, "before|after");
}

TEST_P(RunnerTest, StandardErrorOnlyStillArrives)
{
    std::string output;
    RunAndCapture(Sh("echo 'only on stderr' >&2"), output);
    EXPECT_EQ(output, "only on stderr\n");
}

TEST_P(RunnerTest, OutputAndErrorArriveInTheOrderWritten)
{
    std::string output;
    RunAndCapture(Sh("echo one; echo two >&2; echo three; echo four >&2"), output);
    EXPECT_EQ(output, "one\ntwo\nthree\nfour\n");
}

TEST_P(RunnerTest, LongOutputArrivesWholeAndInOrder)
{
    std::string expected;
    for (int i = 1; i <= 40000; ++i)
        expected += std::to_string(i) + "\n";
    ASSERT_GT(expected.size(), 8191u * 20);
    std::string output;
    RunAndCapture(CommandLine{"seq", {"seq", "1", "40000"}}, output);
    EXPECT_EQ(output.size(), expected.size());
    EXPECT_TRUE(output == expected);
}

TEST_P(RunnerTest, TextIsKeptByteForByte)
{
    std::string output;
    RunAndCapture(Sh("printf 'a\\r\\nb\\tc\\303\\251\\n'"), output);
    EXPECT_EQ(output, "a\r\nb\tc\xc3\xa9\n");
}

TEST_P(RunnerTest, ChunkIsCutAtItsZeroByteAndTheNextChunkStillCounts)
{
    std::string output;
    RunAndCapture(Sh("printf 'abc\\000def'; sleep 0.3; printf 'ghi'"), output);
    EXPECT_EQ(output, "abcghi");
}

TEST_P(RunnerTest, ArgumentsReachTheProgramAsSplit)
{
    std::string output;
    RunAndCapture(R"("/usr/bin/printf" "[%s]" "a b"  c "" "d""e")", output);
    EXPECT_EQ(output, "[a b][c][][de]");
}

TEST_P(RunnerTest, GivenArgumentsAreUsedAsTheyAre)
{
    std::string output;
    RunAndCapture(CommandLine{"shown only in the trace", {"/usr/bin/printf", "[%s]", "a\" \"b", "-x"}}, output);
    EXPECT_EQ(output, "[a\" \"b][-x]");
}

TEST_P(RunnerTest, ProgramFoundOnTheSearchPath)
{
    std::string output;
    EXPECT_NE(RunAndCapture("echo found", output), 0);
    EXPECT_EQ(output, "found\n");
}

class UnstartableProgramTest : public ::testing::TestWithParam<std::string> {};

TEST_P(UnstartableProgramTest, GivesZeroAndLeavesOutputUntouched)
{
    TempFolder folder;
    test::WriteBytes(folder / "not-executable", "#!/bin/sh\necho hi\n");
    ::chmod((folder / "not-executable").c_str(), 0644);
    std::string line = GetParam();
    const std::string marker = "@FOLDER@";
    if (const auto at = line.find(marker); at != std::string::npos)
        line.replace(at, marker.size(), folder.path());

    std::string output = "untouched";
    RunStatus status;
    status.started = true;
    EXPECT_EQ(RunAndCapture(line, output, &status), 0) << line;
    EXPECT_EQ(output, "untouched");
    EXPECT_FALSE(status.started);
    EXPECT_EQ(RunningToolProcessCount(), 0);
    EXPECT_FALSE(HasUnreapedChild());
}

INSTANTIATE_TEST_SUITE_P(Cases, UnstartableProgramTest,
                         ::testing::Values("\"/nonexistent/tiffinfo\" \"x.tif\"",
                                           "\"@FOLDER@/not-executable\" x",
                                           "\"@FOLDER@\" x",            // a folder
                                           "no-such-program-anywhere x",
                                           "", "   ", "\"\" x"));

TEST_P(RunnerTest, ReportsExitCodeAndSignal)
{
    std::string output;
    RunStatus status;
    RunAndCapture(Sh("echo bye; exit 3"), output, &status);
    EXPECT_TRUE(status.started);
    EXPECT_TRUE(status.exited);
    EXPECT_EQ(status.exitCode, 3);
    EXPECT_EQ(output, "bye\n");

    RunAndCapture(Sh("kill -s TERM $$"), output, &status);
    EXPECT_TRUE(status.started);
    EXPECT_FALSE(status.exited);
    EXPECT_EQ(status.signal, SIGTERM);
}

TEST_P(RunnerTest, StandardInputIsTheNullDevice)
{
    std::string output;
    // cat ends at once on /dev/null; with an inherited terminal or pipe it
    // would wait.
    RunAndCapture(Sh("cat; readlink /proc/self/fd/0"), output);
    EXPECT_EQ(output, "/dev/null\n");
}

TEST_P(RunnerTest, ChildGetsNoDescriptorBeyondTheStandardOnes)
{
    TempFolder folder;
    // Opened the way libtiff opens its files: without close-on-exec.
    const int inherited = ::open((folder / "f").c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(inherited, 0);
    std::string output;
    // ls lists its own open descriptors: 0, 1, 2 and the folder it reads.
    RunAndCapture(CommandLine{"ls", {"/bin/ls", "/proc/self/fd"}}, output);
    ::close(inherited);
    EXPECT_EQ(output, "0\n1\n2\n3\n");
}

TEST_P(RunnerTest, ChildKilledFromOutsideEndsTheRunWithWhatItWrote)
{
    TempFolder folder;
    const std::string pidFile = folder / "pid";
    std::thread killer([&] {
        if (WaitUntil([&] { return ReadPid(pidFile) > 0; }))
            ::kill(ReadPid(pidFile), SIGTERM);
    });
    std::string output;
    RunStatus status;
    EXPECT_NE(RunAndCapture(Sh("echo partial; echo $$ > '" + pidFile + "'; exec sleep 1000"), output, &status), 0);
    killer.join();
    EXPECT_EQ(output, "partial\n");
    EXPECT_EQ(status.signal, SIGTERM);
    EXPECT_FALSE(HasUnreapedChild());
}

TEST_P(RunnerTest, DescendantHoldingThePipeDoesNotKeepTheRunGoing)
{
    TempFolder folder;
    const std::string pidFile = folder / "pid";
    // The shell leaves a sleeping descendant that keeps the pipe's write end.
    std::atomic<bool> finished{false};
    std::thread watchdog([&] {
        // Only reached when the run hangs: end it so that the test fails
        // instead of blocking the suite.
        if (!WaitUntil([&] { return finished.load(); }) && ReadPid(pidFile) > 0)
            ::kill(ReadPid(pidFile), SIGKILL);
    });
    std::string output;
    RunStatus status;
    RunAndCapture(Sh("sleep 1000 & echo $! > '" + pidFile + "'; echo parent done"), output, &status);
    const bool descendantStillRuns = ::kill(ReadPid(pidFile), 0) == 0;
    finished = true;
    watchdog.join();
    EXPECT_TRUE(descendantStillRuns) << "the run ended only because the descendant was killed";
    EXPECT_EQ(output, "parent done\n");
    EXPECT_TRUE(status.exited);
    ::kill(ReadPid(pidFile), SIGKILL);
}

TEST_P(RunnerTest, ThousandRunsLeakNoDescriptorAndLeaveNoZombie)
{
    const int before = CountOpenDescriptors();
    std::string output;
    for (int i = 0; i < 1000; ++i) {
        RunAndCapture(Sh("echo $$"), output);
        RunAndCapture("/nonexistent/program", output);
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
    EXPECT_FALSE(HasUnreapedChild());
    EXPECT_EQ(RunningToolProcessCount(), 0);
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1000);
}

TEST_P(RunnerTest, RunsOnSeveralThreadsKeepTheirOwnOutput)
{
    constexpr int kThreads = 4;
    constexpr int kRuns = 40;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &wrong] {
            for (int i = 0; i < kRuns; ++i) {
                const std::string expected = "thread " + std::to_string(t) + " run " + std::to_string(i);
                std::string output;
                RunAndCapture(CommandLine{"printf", {"/usr/bin/printf", "%s", expected}}, output);
                if (output != expected)
                    ++wrong;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(HasUnreapedChild());
}

TEST_P(RunnerTest, TracesTheCommandLine)
{
    std::vector<std::string> traced;
    SetDebugTraceSink([&](const std::string& text) { traced.push_back(text); });
    std::string output;
    RunAndCapture("\"/bin/true\" \"a b\"", output);
    RunAndCapture(CommandLine{"the text", {"/bin/true"}}, output);
    SetDebugTraceSink(nullptr);
    EXPECT_EQ(traced, (std::vector<std::string>{"\"/bin/true\" \"a b\"\n", "the text\n"}));
}

// An unrelated child of this process, started without the runner.
class UnrelatedSleeper {
public:
    UnrelatedSleeper()
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl("/bin/sleep", "sleep", "1000", static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~UnrelatedSleeper()
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    bool Alive() const { return ::waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_;
};

TEST_P(RunnerTest, EndsOnlyTheRunnersChildren)
{
    UnrelatedSleeper other;
    ASSERT_TRUE(other.Alive());

    RunStatus first, second;
    std::thread a([&] { std::string out; RunAndCapture("sleep 1000", out, &first); });
    std::thread b([&] { std::string out; RunAndCapture("sleep 1000", out, &second); });
    ASSERT_TRUE(WaitUntil([] { return RunningToolProcessCount() == 2; }));
    EXPECT_EQ(TerminateToolProcesses(), 2);
    a.join();
    b.join();

    EXPECT_EQ(first.signal, SIGKILL);
    EXPECT_EQ(second.signal, SIGKILL);
    EXPECT_EQ(RunningToolProcessCount(), 0);
    EXPECT_TRUE(other.Alive());
    EXPECT_EQ(TerminateToolProcesses(), 0);
    EXPECT_TRUE(other.Alive());
}

TEST_P(RunnerTest, RequestedStopStartsNothing)
{
    TempFolder folder;
    StopSignal stop;
    stop.Request();
    EXPECT_TRUE(stop.IsRequested());
    std::string output = "kept";
    RunStatus status;
    EXPECT_EQ(RunAndCapture(Sh("touch '" + folder / "ran" + "'"), output, &status, &stop), 0);
    EXPECT_EQ(output, "kept");
    EXPECT_FALSE(status.started);
    EXPECT_NE(::access((folder / "ran").c_str(), F_OK), 0);

    stop.Clear();
    EXPECT_FALSE(stop.IsRequested());
    EXPECT_NE(RunAndCapture(Sh("touch '" + folder / "ran" + "'"), output, &status, &stop), 0);
    EXPECT_EQ(::access((folder / "ran").c_str(), F_OK), 0);
}

TEST_P(RunnerTest, RequestEndsOnlyTheRunsUnderIt)
{
    StopSignal stopA, stopB;
    RunStatus statusA, statusB;
    std::thread a([&] { std::string out; RunAndCapture("sleep 1000", out, &statusA, &stopA); });
    std::thread b([&] { std::string out; RunAndCapture("sleep 1000", out, &statusB, &stopB); });
    ASSERT_TRUE(WaitUntil([] { return RunningToolProcessCount() == 2; }));

    stopA.Request();
    a.join();
    EXPECT_EQ(statusA.signal, SIGKILL);
    EXPECT_EQ(RunningToolProcessCount(), 1);
    EXPECT_FALSE(stopB.IsRequested());

    stopB.Request();
    b.join();
    EXPECT_EQ(statusB.signal, SIGKILL);
    EXPECT_EQ(RunningToolProcessCount(), 0);
}

TEST_P(RunnerTest, NoRunStartsOnceTheRequestIsSeen)
{
    // Threads start runs back to back while the main thread requests the
    // stop at some moment; a run that begins after the request was visible
    // must not start its child.
    for (int round = 0; round < 20; ++round) {
        StopSignal stop;
        std::atomic<int> startedAfterRequest{0};
        std::atomic<int> runs{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 3; ++t) {
            threads.emplace_back([&] {
                for (;;) {
                    const bool requestedBefore = stop.IsRequested();
                    std::string out;
                    RunStatus status;
                    const int result = RunAndCapture("/bin/true", out, &status, &stop);
                    ++runs;
                    if (requestedBefore && (result != 0 || status.started))
                        ++startedAfterRequest;
                    if (result == 0)
                        break;
                }
            });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
        stop.Request();
        for (auto& t : threads)
            t.join();
        EXPECT_EQ(startedAfterRequest, 0);
        EXPECT_EQ(RunningToolProcessCount(), 0);
    }
    EXPECT_FALSE(HasUnreapedChild());
}

}  // namespace
}  // namespace pw
