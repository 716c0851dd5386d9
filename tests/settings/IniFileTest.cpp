// The INI file keeps what it does not own and gives back what it stored.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "settings/IniFile.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

struct RoundTrip {
    const char* what;
    std::string value;
};

class IniValueRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(IniValueRoundTrip, ReadsBackExactlyWhatWasWritten)
{
    TempFolder dir;
    const std::string file = dir / "s.ini";
    IniFile ini;
    ini.Set("Pagewright", "Name", GetParam().value);
    ASSERT_TRUE(ini.Save(file));

    IniFile again;
    ASSERT_TRUE(again.Load(file));
    EXPECT_EQ(again.Get("Pagewright", "Name"), GetParam().value) << ReadBytes(file);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniValueRoundTrip,
    ::testing::Values(RoundTrip{"posix path", "/home/user/scans/2024 march/"},
                      RoundTrip{"windows path", "D:\\out\\new folder\\"},
                      RoundTrip{"blanks inside", "Demo 1 of many"},
                      RoundTrip{"equals inside", "a=b==c"},
                      RoundTrip{"page list", "-5, 6-7, 10-20, 30-, even, odd"},
                      RoundTrip{"leading and trailing blanks", "  1 - 3  "},
                      RoundTrip{"quoted", "\"quoted\""},
                      RoundTrip{"one quote", "\""},
                      RoundTrip{"semicolon", ";not a comment"},
                      RoundTrip{"brackets", "[Section]"},
                      RoundTrip{"non-ascii", "Übersicht_日本"},
                      RoundTrip{"empty", ""}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// Only a regular file is read, and the open never waits: a FIFO (nobody
// writing it) reads as no file.
TEST(IniFile, AFifoOrAFolderIsNoSettingsFile)
{
    test::TempFolder folder;
    const std::string fifo = folder / "Pagewright.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    IniFile ini;
    std::atomic<bool> done{false};
    bool loaded = true;
    std::thread reader([&] {
        loaded = ini.Load(fifo);
        done = true;
    });
    const bool returned = test::WaitUntil([&] { return done.load(); });
    if (!returned) {
        // Let the blocked open go on, so that the test ends.
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        ::close(writer);
    }
    reader.join();
    EXPECT_TRUE(returned) << "the open waited for a writer";
    EXPECT_FALSE(loaded);
    EXPECT_FALSE(ini.Load(folder.path()));
}

// A value ends at a zero byte: the rest never reaches a caller.
TEST(IniFile, AZeroByteEndsAValue)
{
    const char text[] = "[Pagewright]\nName=photos\0junk\nOther= \"quoted\0x\" \n";
    IniFile ini;
    ini.Parse(std::string(text, sizeof text - 1));
    EXPECT_EQ(ini.Get("Pagewright", "Name"), "photos");
    EXPECT_EQ(ini.Get("Pagewright", "Other"), "\"quoted");
}

TEST(IniFile, KeepsCommentsUnknownLinesOtherKeysAndLineEnds)
{
    const std::string text =
        "; settings\r\n"
        "[Other]\r\n"
        "Keep=me\r\n"
        "a line without an equals sign\r\n"
        "\r\n"
        "[Pagewright]\r\n"
        "# hash comment\r\n"
        "  Name = Demo1_  \r\n"
        "CompressMethod=1\r\n"
        "\r\n"
        "[Last]\r\n"
        "x=y";
    IniFile ini;
    ini.Parse(text);
    EXPECT_EQ(ini.ToText(), text) << "unchanged text must come back byte for byte";

    ini.Set("pagewright", "NAME", "New");
    ini.Set("Pagewright", "UseCompressMethod", "TRUE");
    EXPECT_EQ(ini.ToText(),
              "; settings\r\n"
              "[Other]\r\n"
              "Keep=me\r\n"
              "a line without an equals sign\r\n"
              "\r\n"
              "[Pagewright]\r\n"
              "# hash comment\r\n"
              "  Name=New\r\n"
              "CompressMethod=1\r\n"
              "UseCompressMethod=TRUE\r\n"
              "\r\n"
              "[Last]\r\n"
              "x=y");
}

TEST(IniFile, LooksUpSectionsAndKeysWithoutRegardToCaseAndTrimsHandEditedLines)
{
    IniFile ini;
    ini.Parse("[PageRangeDlg]\n  nPageFrom =  12 \nstrAnyPageRange=\" 1 - 3 \"\n");
    EXPECT_EQ(ini.Get("pagerangedlg", "NPAGEFROM"), "12");
    EXPECT_EQ(ini.Get("PAGERANGEDLG", "strAnyPageRange"), " 1 - 3 ");
    EXPECT_EQ(ini.Get("PageRangeDlg", "nPageTo"), std::nullopt);
    EXPECT_EQ(ini.Get("Missing", "nPageFrom"), std::nullopt);
    EXPECT_TRUE(ini.HasSection("pageRANGEdlg"));
}

TEST(IniFile, FirstSectionAndFirstKeyOfANameCount)
{
    IniFile ini;
    ini.Parse("[A]\nk=1\nk=2\n[A]\nk=3\n");
    EXPECT_EQ(ini.Get("A", "k"), "1");
    ini.Set("a", "K", "9");
    EXPECT_EQ(ini.ToText(), "[A]\nk=9\nk=2\n[A]\nk=3\n");
}

// Reading a few keys without keeping the file gives what a load and Get give.
TEST(IniFile, ReadingSomeKeysGivesWhatGetGives)
{
    TempFolder dir;
    const std::string text = "[b]\r\nk=0\r\n[A]\r\n  K = 1 \r\nk=2\r\nq=\" x \"\r\n[A]\r\nm=3\r\n[B]\r\nlast=4";
    ASSERT_TRUE(WriteBytes(dir / "s.ini", text));
    IniFile ini;
    ini.Parse(text);
    for (const char* section : {"a", "B"}) {
        std::vector<IniFile::Key> keys = {{"k", {}}, {"Q", {}}, {"m", {}}, {"last", {}}};
        ASSERT_TRUE(IniFile::ReadKeys(dir / "s.ini", section, keys, nullptr));
        for (const IniFile::Key& key : keys)
            EXPECT_EQ(key.value, ini.Get(section, key.name)) << section << " " << key.name;
    }
}

TEST(IniFile, AddsMissingSectionAtTheEndAndMissingKeyAfterTheSectionsLastEntry)
{
    IniFile ini;
    ini.Parse("[A]\nx=1\n; trailing comment\n\n[B]\ny=2");
    ini.Set("A", "z", "3");
    ini.Set("C", "w", "4");
    EXPECT_EQ(ini.ToText(), "[A]\nx=1\nz=3\n; trailing comment\n\n[B]\ny=2\n[C]\nw=4\n");
}

TEST(IniFile, CutsAValueAtItsFirstLineBreak)
{
    IniFile ini;
    ini.Set("S", "k", "first\nsecond=evil\n[Injected]");
    EXPECT_EQ(ini.Get("S", "k"), "first");
    EXPECT_FALSE(ini.HasSection("Injected"));
}

TEST(IniFile, LoadOfAMissingFileIsEmptyAndFalse)
{
    TempFolder dir;
    IniFile ini;
    EXPECT_FALSE(ini.Load(dir / "missing.ini"));
    EXPECT_EQ(ini.ToText(), "");
}

TEST(IniFile, SaveReplacesTheFileKeepsItsModeAndLeavesNoTemporaryFile)
{
    TempFolder dir;
    const std::string file = dir / "Pagewright.ini";
    ASSERT_TRUE(WriteBytes(file, "[Pagewright]\nName=old\n"));
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);

    IniFile ini;
    ASSERT_TRUE(ini.Load(file));
    ini.Set("Pagewright", "Name", "new");
    ASSERT_TRUE(ini.Save(file));

    EXPECT_EQ(ReadBytes(file), "[Pagewright]\nName=new\n");
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(IniFile, SaveThroughALinkReplacesTheLinkedFileAndKeepsTheLink)
{
    TempFolder dir;
    const std::string real = dir / "real.ini";
    const std::string link = dir / "link.ini";
    ASSERT_TRUE(WriteBytes(real, "[S]\nk=1\n"));
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    IniFile ini;
    ini.Set("S", "k", "2");
    ASSERT_TRUE(ini.Save(link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "[S]\nk=2\n");
}

TEST(IniFile, SaveIntoAFolderThatCannotHoldFilesFails)
{
    IniFile ini;
    ini.Set("S", "k", "v");
    EXPECT_FALSE(ini.Save("/proc/self/pagewright-test.ini"));
    TempFolder dir;
    ASSERT_TRUE(WriteBytes(dir / "file", "x"));
    EXPECT_FALSE(ini.Save(dir / "file/below.ini"));
}

// A write that fails half-way (here: the file size limit, which holds for
// root as well) leaves the old file whole and no temporary file behind.
TEST(IniFileDeathTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole)
{
    TempFolder dir;
    const std::string file = dir / "s.ini";
    const std::string old = "[Pagewright]\nName=old\n";
    ASSERT_TRUE(WriteBytes(file, old));
    const auto saveUnderLimit = [&file] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        IniFile ini;
        ini.Load(file);
        ini.Set("Pagewright", "Name", std::string(1000, 'x'));
        std::exit(ini.Save(file) ? 1 : 0);
    };
    EXPECT_EXIT(saveUnderLimit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadBytes(file), old);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace pw
