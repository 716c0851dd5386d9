// pagewright.exe reached as another program reaches it: the main window
// answers UM_PING, UM_ADD_FILE and UM_PROGRESS_TEXT with texts as global
// atoms, on its own thread, and refuses a path or text longer than its
// buffers instead of cutting it. Runs under Wine on a display.

#include "mainwnd/WindowMessages.h"
#include "platform/WideText_win32.h"
#include "res/ResourceIds.h"
#include "tests/fixtures/TiffFixtures.h"
#include "tests/windows/WindowDriver.h"

#include <gtest/gtest.h>

#include <string>

namespace pw {
namespace {

using test::WindowDriver;

std::string Repeat(const std::string& part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

// A file at the end of folders whose names are not ASCII, levels deep.
std::string DeepFile(const std::string& root, int levels) {
    std::string path = root;
    ::CreateDirectoryW(Widen(path).c_str(), nullptr);
    for (int i = 0; i < levels; ++i) {
        path += '/';
        path += Repeat("文", 40);
        ::CreateDirectoryW(Widen(path).c_str(), nullptr);
    }
    path += "/ß.tif";
    return test::WriteTiff(path, 1) ? path : std::string();
}

TEST(WindowMessagesTest, PingAnswersOnlyTheQuestion) {
    WindowDriver window;
    ASSERT_TRUE(window.Start(PAGEWRIGHT_EXE));
    EXPECT_EQ(window.Ping(kPingQuestion), LRESULT(kPingAnswer));
    EXPECT_EQ(window.Ping(8887), LRESULT(0));
    EXPECT_EQ(window.Ping(0), LRESULT(0));
    EXPECT_EQ(window.Ping(WPARAM(0x100000000ull) + kPingQuestion), LRESULT(0));
    EXPECT_EQ(window.Close(), DWORD(0));
}

// The batch buttons are enabled exactly while the list holds a row, so
// each refusal below is seen before the first file is let in; the rows read
// back at the end show that nothing else came in.
TEST(WindowMessagesTest, AddFileTakesAnExistingPathAndRefusesTheRest) {
    test::TempFolder folder;
    const std::string fits = DeepFile(folder.path(), 3);
    const std::string tooLong = DeepFile(folder.path() + "/b", 4);
    ASSERT_FALSE(fits.empty());
    ASSERT_FALSE(tooLong.empty());
    ASSERT_LT(fits.size(), kAddFileAtomBuffer);
    ASSERT_GT(tooLong.size() + 1, kAddFileAtomBuffer);
    ASSERT_LT(Widen(tooLong).size(), 255u);  // still one atom

    WindowDriver window;
    ASSERT_TRUE(window.Start(PAGEWRIGHT_EXE));
    ASSERT_FALSE(window.ControlEnabled(IDC_MERGEALL));

    EXPECT_EQ(window.Send(UM_ADD_FILE, 0, 0), LRESULT(0));
    EXPECT_EQ(window.AddFile(Widen(folder / "missing 文書.tif")), LRESULT(0));
    EXPECT_EQ(window.AddFile(Widen(tooLong)), LRESULT(0));
    // An atom that is gone by the time the message comes.
    const ATOM gone = ::GlobalAddAtomW(Widen(fits).c_str());
    ::GlobalDeleteAtom(gone);
    EXPECT_EQ(window.Send(UM_ADD_FILE, 0, gone), LRESULT(0));
    EXPECT_FALSE(window.ControlEnabled(IDC_MERGEALL)) << "a refused path made a row";

    EXPECT_EQ(window.AddFile(Widen(fits)), LRESULT(0));
    EXPECT_TRUE(window.ControlEnabled(IDC_MERGEALL)) << "the path of 3 folders was not added";
    const std::string wide = folder / "Größe 文書.tif";
    ASSERT_TRUE(test::WriteTiff(wide, 2));
    EXPECT_EQ(window.AddFile(Widen(wide)), LRESULT(0));

    // Read back from the list view as any program reads one: the two files
    // whole, in order, with their page counts and no status yet.
    const auto rows = window.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], Widen(fits));
    EXPECT_EQ(rows[0][1], L"1");
    EXPECT_EQ(rows[1][0], Widen(wide));
    EXPECT_EQ(rows[1][1], L"2");
    EXPECT_FALSE(rows[1][2].empty());  // the size
    EXPECT_EQ(rows[1][3], L"");
    // The sender deleted its atom after the reply; the window still answers.
    EXPECT_EQ(window.Ping(kPingQuestion), LRESULT(kPingAnswer));
    EXPECT_EQ(window.Close(), DWORD(0));
}

TEST(WindowMessagesTest, ProgressTextSetsTheInformationLineAndTheBar) {
    WindowDriver window;
    ASSERT_TRUE(window.Start(PAGEWRIGHT_EXE));
    const std::wstring text = Widen("Scanning page 3 of 7: Größe 文書");
    EXPECT_EQ(window.ProgressText(40, text), LRESULT(0));
    EXPECT_EQ(window.ControlText(IDC_INFORMATION), text);
    EXPECT_EQ(window.ProgressPosition(), 40);

    // No atom: nothing changes, not even the bar.
    EXPECT_EQ(window.Send(UM_PROGRESS_TEXT, 90, 0), LRESULT(0));
    EXPECT_EQ(window.ControlText(IDC_INFORMATION), text);
    EXPECT_EQ(window.ProgressPosition(), 40);

    // A text beyond the buffer is refused whole, the bar with it.
    EXPECT_EQ(window.ProgressText(70, Widen(Repeat("文", 100))), LRESULT(0));
    EXPECT_EQ(window.ControlText(IDC_INFORMATION), text);
    EXPECT_EQ(window.ProgressPosition(), 40);

    // A position past the end fills the bar.
    EXPECT_EQ(window.ProgressText(250, L"Almost"), LRESULT(0));
    EXPECT_EQ(window.ControlText(IDC_INFORMATION), L"Almost");
    EXPECT_EQ(window.ProgressPosition(), 100);
    EXPECT_EQ(window.Close(), DWORD(0));
}

}  // namespace
}  // namespace pw
