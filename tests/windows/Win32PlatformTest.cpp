// The Windows siblings of the platform services, on the system itself (or
// Wine): tool runs through CreateProcessW and the one pipe, wide paths at
// the system boundary, the known folders, and folder removal that leaves
// link targets alone.

#include "tests/engine/ToolTestSupport.h"
#include "tests/fixtures/TiffFixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "engine/OutputLock.h"
#include "engine/RemoveFolderTree.h"
#include "engine/TempImages.h"
#include "engine/ToolOutputFile.h"
#include "platform/FileIdentity.h"
#include "platform/Paths.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramFolder.h"
#include "platform/ReplacementFile.h"
#include "platform/ShellOpen.h"
#include "platform/TempFiles.h"
#include "platform/UserFolders.h"
#include "platform/WideText_win32.h"

namespace pw {
namespace {

using namespace std::chrono_literals;

std::string Child()
{
    return GetProgramFolder() + "windows_child.exe";
}

std::string RunChild(const std::vector<std::string>& args, RunStatus* status = nullptr)
{
    std::vector<std::string> arguments{Child()};
    arguments.insert(arguments.end(), args.begin(), args.end());
    std::string output;
    EXPECT_NE(RunAndCapture(CommandLine{"child", arguments}, output, status), 0);
    return output;
}

std::string WithoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

TEST(Win32ProcessRunner, ArgumentsArriveExactlyAsGiven)
{
    const std::vector<std::string> args{"args", "plain", "with space", "", "quote\"inside", "trailing\\",
                                        "back\\\\slashes\\\"quote", "C:\\Program Files\\x\\", "Größe 文書.tif"};
    const std::string output = WithoutCarriageReturns(RunChild(args));
    std::string expected;
    for (size_t i = 1; i < args.size(); ++i)
        expected += "[" + args[i] + "]\n";
    EXPECT_EQ(output, expected);
}

TEST(Win32ProcessRunner, BothOutputsInOneTextAndTheExitStatus)
{
    RunStatus status;
    EXPECT_EQ(WithoutCarriageReturns(RunChild({"both"}, &status)), "to stdout\nto stderr\n");
    EXPECT_TRUE(status.started);
    EXPECT_TRUE(status.exited);
    EXPECT_EQ(status.exitCode, 0);

    RunChild({"exit", "3"}, &status);
    EXPECT_TRUE(status.exited);
    EXPECT_EQ(status.exitCode, 3);

    EXPECT_EQ(RunChild({"zero"}), "before");
}

TEST(Win32ProcessRunner, MissingProgramIsNotStarted)
{
    std::string output = "kept";
    RunStatus status;
    EXPECT_EQ(RunAndCapture(CommandLine{"x", {GetProgramFolder() + "no-such-tool.exe"}}, output, &status), 0);
    EXPECT_FALSE(status.started);
    EXPECT_EQ(output, "kept");
}

TEST(Win32ProcessRunner, StopEndsExactlyTheRunningTool)
{
    StopSignal stop;
    RunStatus status;
    std::string output;
    std::atomic<bool> done{false};
    std::thread run([&] {
        RunAndCapture(CommandLine{"sleep", {Child(), "sleep", "600000"}}, output, &status, &stop);
        done = true;
    });
    ASSERT_TRUE(test::WaitUntil([] { return RunningToolProcessCount() == 1; }, 60s));
    ASSERT_TRUE(test::WaitUntil([&] { return output.find("sleeping") != std::string::npos || done; }, 60s));
    stop.Request();
    EXPECT_TRUE(test::WaitUntil([&] { return done.load(); }, 60s));
    run.join();
    EXPECT_TRUE(status.started);
    EXPECT_FALSE(status.exited);
    EXPECT_NE(status.signal, 0);
    EXPECT_EQ(RunningToolProcessCount(), 0);

    // A stopped signal starts nothing more until it is cleared.
    std::string more;
    EXPECT_EQ(RunAndCapture(CommandLine{"x", {Child(), "both"}}, more, nullptr, &stop), 0);
    stop.Clear();
    EXPECT_NE(RunAndCapture(CommandLine{"x", {Child(), "both"}}, more, nullptr, &stop), 0);
}

TEST(Win32Folders, KnownFoldersAndProgramFolder)
{
    EXPECT_EQ(GetTempFolder().back(), '\\');
    EXPECT_TRUE(IsFolder(GetTempFolder()));
    const std::string config = GetUserConfigFolder();
    EXPECT_NE(config.find("\\Pagewright\\"), std::string::npos) << config;
    EXPECT_TRUE(IsFolder(GetHomeFolder()));
    EXPECT_TRUE(PathExists(GetProgramFolder() + "windows_child.exe"));
    EXPECT_EQ(SplitPath("C:\\a\\b.c.tif").drive, "C:");
    EXPECT_EQ(SplitPath("C:\\a\\b.c.tif").dir, "\\a\\");
    EXPECT_EQ(SplitPath("C:\\a\\b.c.tif").ext, ".tif");
}

TEST(Win32Files, WideNamesThroughThePosixCalls)
{
    test::TempFolder folder;
    const std::string name = folder / "Größe 文書";
    EXPECT_TRUE(CreateFolders(name + "\\inner\\deeper"));
    EXPECT_TRUE(IsFolderWritable(name));
    const std::string file = name + "\\inner\\ページ.tif";
    ASSERT_TRUE(test::WriteTiff(file, 3));
    EXPECT_EQ(test::CountDirectories(file), 3);
    EXPECT_TRUE(IsNonEmptyFile(file));

    // The file is found under its own name only: no code-page stand-in.
    const DWORD attributes = ::GetFileAttributesW(Widen(file).c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);

    // Replacing an existing file keeps POSIX rename's meaning.
    const std::string other = name + "\\other.tif";
    ASSERT_TRUE(test::WriteTiff(other, 1));
    ToolOutputFile output(other);
    ASSERT_TRUE(output.ok());
    ASSERT_TRUE(test::WriteTiff(output.path(), 2));
    EXPECT_TRUE(output.Commit());
    EXPECT_EQ(test::CountDirectories(other), 2);

    const std::string second = name + "\\second name.tif";
    ASSERT_TRUE(::CreateHardLinkW(Widen(second).c_str(), Widen(file).c_str(), nullptr));
    EXPECT_TRUE(IsSameFile(file, second));
    EXPECT_FALSE(IsSameFile(file, other));
}

TEST(Win32Files, ReadOnlyFilesGoAsOnPosix)
{
    // A read-only leftover must not keep the temporary images from going.
    const std::string image = TempImagePath(1);
    ASSERT_TRUE(test::WriteBytes(image, "png"));
    ASSERT_TRUE(::SetFileAttributesW(Widen(image).c_str(), FILE_ATTRIBUTE_READONLY));
    RemoveTempImages();
    EXPECT_FALSE(PathExists(image));
}

TEST(Win32Files, FolderRemovalLeavesLinkTargetsAlone)
{
    test::TempFolder outside;
    const std::string precious = outside / "precious.tif";
    ASSERT_TRUE(test::WriteTiff(precious, 1));
    test::TempFolder work;
    const std::string top = work / "split";
    ASSERT_TRUE(CreateFolders(top + "\\inner"));
    ASSERT_TRUE(test::WriteTiff(top + "\\inner\\page.tif", 1));
    const bool folderLink = ::CreateSymbolicLinkW(Widen(top + "\\inner\\folder-link").c_str(),
                                                  Widen(outside.path()).c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    const bool fileLink = ::CreateSymbolicLinkW(Widen(top + "\\file-link.tif").c_str(), Widen(precious).c_str(), 0);
    if (!folderLink && !fileLink)
        GTEST_SKIP() << "this system lets no ordinary program create symbolic links";

    EXPECT_TRUE(RemoveFolderTree(top));
    EXPECT_FALSE(PathExists(top));
    EXPECT_TRUE(IsNonEmptyFile(precious));
    EXPECT_EQ(test::CountDirectories(precious), 1);
}

// Replacing, locking and telling files apart, with the names users give
// them and the spellings Windows allows for one file.
TEST(Win32Files, AReplacementTakesTheOldFilesPlaceOnlyWhenCommitted)
{
    test::TempFolder folder;
    const std::string target = folder.path() + "\\Größe 文書.tif";
    ASSERT_TRUE(test::WriteBytes(target, "old"));
    {
        ReplacementFile dropped(target, ".tif");
        ASSERT_TRUE(dropped.ok()) << dropped.reason();
        ASSERT_TRUE(test::WriteBytes(dropped.path(), "never"));
    }
    EXPECT_EQ(test::ReadBytes(target), "old");
    ReplacementFile kept(target, ".tif");
    ASSERT_TRUE(kept.ok()) << kept.reason();
    const std::string temporary = kept.path();
    ASSERT_TRUE(test::WriteBytes(temporary, "new"));
    ASSERT_TRUE(kept.Commit()) << kept.reason();
    EXPECT_EQ(test::ReadBytes(target), "new");
    EXPECT_FALSE(PathExists(temporary));
    const std::vector<std::string> entries = test::FolderEntries(folder.path());
    EXPECT_EQ(entries.size(), 1u) << "nothing left beside the target: " << ::testing::PrintToString(entries);
}

TEST(Win32Files, OneOutputIsWrittenByOneBatchAtATimeWhateverItsSpelling)
{
    test::TempFolder folder;
    const std::string path = folder.path() + "\\Zusammen 合併.tif";
    std::string error;
    auto first = OutputLock::Acquire(path, &error);
    ASSERT_TRUE(first) << error;
    EXPECT_FALSE(PathExists(path)) << "the name is locked, no file stands in for the output";
    std::string upper = path;
    for (char& c : upper)
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_FALSE(OutputLock::Acquire(upper, &error));
    EXPECT_NE(error.find("being written by another batch"), std::string::npos) << error;
    // Whatever file comes to the name meanwhile.
    ASSERT_TRUE(test::WriteBytes(path, "renamed over the output"));
    EXPECT_FALSE(OutputLock::Acquire(path, &error));
    first.reset();
    auto again = OutputLock::Acquire(path, &error);
    EXPECT_TRUE(again) << error;
}

TEST(Win32Files, TemporariesOfAProcessThatIsGoneAreRemovedAtTheNextStart)
{
    test::TempFolder folder;
    const std::string mine = CreateTempFile(folder.path() + "\\", ".tif");
    ASSERT_FALSE(mine.empty());
    // A process id that no process has: ids are multiples of four.
    const std::string gone = folder.path() + "\\." + OwnTempPrefix(4294967) + "abcdef.tif";
    const std::string other = folder.path() + "\\.someone-else-4294967-abcdef.tif";
    const std::string unnoted = folder.path() + "\\." + OwnTempPrefix(4294967) + "ghijkl.tif";
    ASSERT_TRUE(test::WriteBytes(gone, "left behind"));
    ASSERT_TRUE(test::WriteBytes(other, "not ours"));
    const std::string journal = GetUserConfigFolder() + "temporaries\\";
    ASSERT_TRUE(test::WriteBytes(journal + "4294967-1", gone));
    ASSERT_TRUE(test::WriteBytes(journal + "4294967-2", other));
    ASSERT_TRUE(test::WriteBytes(unnoted, "left behind without a record"));
    RemoveStaleTemporaries();
    EXPECT_FALSE(PathExists(gone));
    EXPECT_TRUE(PathExists(other)) << "a name this program does not give is never removed";
    EXPECT_TRUE(PathExists(mine)) << "this process still runs";
    EXPECT_FALSE(PathExists(journal + "4294967-1"));
    RemoveStaleTemporariesIn(folder.path());
    EXPECT_FALSE(PathExists(unnoted)) << "the name tells what the journal does not";
    EXPECT_TRUE(PathExists(mine));
    ::DeleteFileW(Widen(mine).c_str());
    ForgetTemp(mine);
}

TEST(Win32Shell, OpeningAMissingFileFailsWithoutStartingAnything)
{
    EXPECT_EQ(ShellOpen(""), kShellOpenFileNotFound);
    EXPECT_EQ(ShellOpen("C:\\no such folder\\none.tif"), kShellOpenFileNotFound);
    EXPECT_TRUE(IsAddress("https://example.org/"));
    EXPECT_FALSE(IsAddress("C:\\scans\\a.tif")) << "a drive letter is no scheme";
}

}  // namespace
}  // namespace pw
