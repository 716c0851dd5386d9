// The three stores: where they are, what a read returns for every shape of
// stored value, and what the compression choice turns into.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/ProgramFolder.h"
#include "platform/UserFolders.h"
#include "settings/CompressionMethod.h"
#include "settings/DialogSettings.h"
#include "settings/IniFile.h"
#include "settings/Profile.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFiles.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

using test::ProgramFolder;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { SetCurrentCompressionMethod(std::string()); }
    std::string SettingsFile() const { return program_.path() + "/Pagewright.ini"; }
    void Store(const std::string& text) { ASSERT_TRUE(WriteBytes(SettingsFile(), text)); }

    TempFolder config_;
    test::ScopedEnvironment configHome_{"XDG_CONFIG_HOME", config_.path()};
    ProgramFolder program_{false};
};

TEST_F(SettingsStore, ProgramSettingsLieBesideTheExecutableWhenItsFolderIsWritable)
{
    EXPECT_EQ(GetProgramSettingsPath(), SettingsFile());
    EXPECT_EQ(GetAppProfilePath(), config_.path() + "/pagewright/pagewright.INI");
    EXPECT_EQ(GetWinIniPath(), config_.path() + "/pagewright/win.ini");
}

TEST_F(SettingsStore, ProgramSettingsMoveToTheConfigurationFolderWhenTheProgramFolderIsNotWritable)
{
    SetExecutablePathForTesting("/proc/self/Pagewright-batch");
    EXPECT_EQ(GetProgramSettingsPath(), config_.path() + "/pagewright/Pagewright.ini");
    EXPECT_EQ(GetAppProfilePath(), config_.path() + "/pagewright/Pagewright-batch.INI");

    EXPECT_TRUE(WriteNamingRule("Elsewhere_"));
    EXPECT_EQ(ReadNamingRule(), "Elsewhere_");
    EXPECT_EQ(ReadBytes(config_.path() + "/pagewright/Pagewright.ini"), "[Pagewright]\nName=Elsewhere_\n");
}

TEST_F(SettingsStore, MissingFileSectionOrKeyReadsAsTheDefault)
{
    EXPECT_EQ(ReadNamingRule(), "ERROR");
    Store("[Other]\nName=x\n");
    EXPECT_EQ(ReadNamingRule(), "ERROR");
    Store("[Pagewright]\nCompressMethod=1\n");
    EXPECT_EQ(ReadNamingRule(), "ERROR");
    EXPECT_EQ(ReadPrivateProfileString("Pagewright", "Name", "fallback that is long", 9, SettingsFile()),
              "fallback");
    EXPECT_EQ(ReadPrivateProfileString("Pagewright", "Name", "x", 0, SettingsFile()), "");
}

TEST_F(SettingsStore, AValueLongerThanTheBufferReadsAsItsFirst99Characters)
{
    std::string name;
    for (int i = 0; i < 150; ++i)
        name += static_cast<char>('a' + i % 26);
    ASSERT_TRUE(WriteNamingRule(name));
    EXPECT_EQ(ReadNamingRule(), name.substr(0, 99));
    EXPECT_EQ(ReadPrivateProfileString("Pagewright", "Name", "ERROR", 1000, SettingsFile()), name);
}

TEST_F(SettingsStore, UseCompressMethodIsOnOnlyForExactlyTRUE)
{
    for (const auto& [stored, on] : std::vector<std::pair<std::string, bool>>{
             {"TRUE", true}, {"true", false}, {"True", false}, {"1", false}, {"FALSE", false}, {"", false}}) {
        ASSERT_TRUE(WritePrivateProfileString("Pagewright", "UseCompressMethod", stored, SettingsFile()));
        EXPECT_EQ(IsUseCompressionOn(ReadUseCompressMethod()), on) << stored;
    }
    EXPECT_TRUE(WriteUseCompressMethod(true));
    EXPECT_EQ(ReadUseCompressMethod(), "TRUE");
    EXPECT_TRUE(WriteUseCompressMethod(false));
    EXPECT_EQ(ReadUseCompressMethod(), "FALSE");
}

TEST_F(SettingsStore, EngineIsBuiltinUnlessExactlyTools)
{
    EXPECT_EQ(ReadEngineSetting(), "ERROR");
    EXPECT_TRUE(IsBuiltinEngine(ReadEngineSetting()));
    for (const auto& [stored, builtin] : std::vector<std::pair<std::string, bool>>{
             {"tools", false}, {"builtin", true}, {"Tools", true}, {"tools.", true}, {"", true}, {"x", true}}) {
        ASSERT_TRUE(WritePrivateProfileString("Pagewright", "Engine", stored, SettingsFile()));
        EXPECT_EQ(IsBuiltinEngine(ReadEngineSetting()), builtin) << stored;
        EXPECT_EQ(IsBuiltinEngine(ReadProgramSettings().engine), builtin) << stored;
    }
    EXPECT_TRUE(WriteEngineSetting(false));
    EXPECT_EQ(ReadEngineSetting(), "tools");
    EXPECT_TRUE(WriteEngineSetting(true));
    EXPECT_EQ(ReadEngineSetting(), "builtin");
    EXPECT_EQ(ReadBytes(SettingsFile()), "[Pagewright]\nEngine=builtin\n");
}

TEST_F(SettingsStore, WritesKeepEveryOtherKeySectionAndComment)
{
    Store("; written by hand\n[Pagewright]\nName=Demo1_\nCompressMethod=2\n[Mine]\nkey=value\n");
    ASSERT_TRUE(WriteCompressMethodSetting(5));
    ASSERT_TRUE(WriteUseCompressMethod(true));
    EXPECT_EQ(ReadBytes(SettingsFile()),
              "; written by hand\n[Pagewright]\nName=Demo1_\nCompressMethod=5\nUseCompressMethod=TRUE\n"
              "[Mine]\nkey=value\n");
}

TEST_F(SettingsStore, NoSettingsFileGivesNoArgumentsAndKeepsTheMethodName)
{
    EXPECT_EQ(ReadCompressionArguments(), "");
    EXPECT_EQ(GetCurrentCompressionMethod(), "");
    SetCurrentCompressionMethod("lzw");
    EXPECT_EQ(ReadCompressionArguments(), "");
    EXPECT_EQ(GetCurrentCompressionMethod(), "lzw");
}

TEST_F(SettingsStore, AFileWithoutCompressMethodGivesNoArgumentsAndTheNameNone)
{
    SetCurrentCompressionMethod("g4");
    Store("[Pagewright]\nName=x\n");
    EXPECT_EQ(ReadCompressionArguments(), "");
    EXPECT_EQ(GetCurrentCompressionMethod(), "none");
}

struct Stored {
    std::string value;
    std::string arguments;
    std::string method;
};

class CompressMethodValue : public ::testing::TestWithParam<Stored> {};

TEST_P(CompressMethodValue, TurnsIntoArgumentsAndAMethodName)
{
    TempFolder config;
    test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.path());
    ProgramFolder program(false);
    SetCurrentCompressionMethod("unchanged");
    ASSERT_TRUE(WriteBytes(program.path() + "/Pagewright.ini",
                           "[Pagewright]\nCompressMethod=" + GetParam().value + "\n"));
    EXPECT_EQ(ReadCompressionArguments(), GetParam().arguments);
    EXPECT_EQ(GetCurrentCompressionMethod(), GetParam().method);

    std::string method;
    EXPECT_EQ(CompressionArgumentsFor(GetParam().value, &method), GetParam().arguments);
    EXPECT_EQ(method, GetParam().method);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompressMethodValue,
    ::testing::Values(Stored{"0", "\"-c\" \"none\"", "none"}, Stored{"1", "\"-c\" \"lzw\"", "lzw"},
                      Stored{"2", "\"-c\" \"zip\"", "zip"}, Stored{"3", "\"-c\" \"packbits\"", "packbits"},
                      Stored{"4", "\"-c\" \"g3\"", "g3"}, Stored{"5", "\"-c\" \"g4\"", "g4"},
                      Stored{"6", "", "none"}, Stored{"-1", "", "none"}, Stored{"01", "", "none"},
                      Stored{"\" 1\"", "", "none"}, Stored{"3abc", "", "none"}, Stored{"ERROR", "", "none"},
                      Stored{"", "", "none"}, Stored{"lzw", "", "none"}));

TEST(CompressionTable, HoldsTheSixRowsAndFindsThemByName)
{
    ASSERT_EQ(kCompressionMethods.size(), 6u);
    const char* names[] = {"none", "lzw", "zip", "packbits", "g3", "g4"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(kCompressionMethods[i].index, i);
        EXPECT_STREQ(kCompressionMethods[i].name, names[i]);
        EXPECT_EQ(std::string(kCompressionMethods[i].arguments), "\"-c\" \"" + std::string(names[i]) + "\"");
        ASSERT_NE(FindCompressionMethod(names[i]), nullptr);
        EXPECT_EQ(FindCompressionMethod(names[i])->index, i);
    }
    EXPECT_STREQ(kCompressionMethods[0].comboText, "None");
    EXPECT_EQ(std::string(kCompressionMethods[1].arguments).size(), 10u);
    EXPECT_EQ(FindCompressionMethod("None"), nullptr);
    EXPECT_EQ(FindCompressionMethod("jpeg"), nullptr);
}

TEST_F(SettingsStore, PageRangeSettingsAreWrittenInOrderAndReadBackWithBlanks)
{
    PageRangeSettings settings;
    settings.splitOption = 1;
    settings.anyPageRange = " 1 - 3, even ";
    settings.pageFrom = 20;
    settings.pageTo = 10;
    ASSERT_TRUE(WritePageRangeSettings(settings));
    EXPECT_EQ(ReadBytes(GetAppProfilePath()),
              "[PageRangeDlg]\nSplitOption=1\nstrAnyPageRange=\" 1 - 3, even \"\nnPageFrom=20\nnPageTo=10\n");

    const PageRangeSettings back = ReadPageRangeSettings();
    EXPECT_EQ(back.splitOption, 1);
    EXPECT_EQ(back.anyPageRange, " 1 - 3, even ");
    EXPECT_EQ(back.pageFrom, 20);
    EXPECT_EQ(back.pageTo, 10);
}

TEST_F(SettingsStore, MissingPageRangeKeysKeepTheDefaults)
{
    const PageRangeSettings fresh = ReadPageRangeSettings();
    EXPECT_EQ(fresh.splitOption, 0);
    EXPECT_EQ(fresh.anyPageRange, "");
    EXPECT_EQ(fresh.pageFrom, 1);
    EXPECT_EQ(fresh.pageTo, 99999);

    ASSERT_TRUE(CreateFolders(config_.path() + "/pagewright"));
    ASSERT_TRUE(WriteBytes(GetAppProfilePath(), "[PageRangeDlg]\nnPageFrom=abc\nnPageTo=-7x\nSplitOption=+2\n"));
    PageRangeSettings defaults;
    defaults.anyPageRange = "odd";
    const PageRangeSettings read = ReadPageRangeSettings(defaults);
    EXPECT_EQ(read.pageFrom, 0) << "a present key without digits reads as 0";
    EXPECT_EQ(read.pageTo, -7);
    EXPECT_EQ(read.splitOption, 2);
    EXPECT_EQ(read.anyPageRange, "odd");
}

TEST_F(SettingsStore, AppProfileIntegersSaturateInsteadOfOverflowing)
{
    ASSERT_TRUE(WriteAppProfileString("S", "big", "99999999999999999999"));
    ASSERT_TRUE(WriteAppProfileString("S", "small", "-99999999999999999999"));
    EXPECT_EQ(ReadAppProfileInt("S", "big", 0), 2147483647);
    EXPECT_EQ(ReadAppProfileInt("S", "small", 0), -2147483647 - 1);
}

TEST_F(SettingsStore, FolderMemoriesGoToTheirOwnStores)
{
    EXPECT_EQ(ReadOpenFolder(), "");
    EXPECT_EQ(ReadInputDir(), "");
    const std::string folder = "/home/user/My Scans/a=b";
    ASSERT_TRUE(WriteOpenFolder(folder));
    ASSERT_TRUE(WriteInputDir(folder + "/"));
    EXPECT_EQ(ReadOpenFolder(), folder);
    EXPECT_EQ(ReadInputDir(), folder + "/");
    EXPECT_EQ(ReadBytes(GetAppProfilePath()), "[OpenFolder]\nFolder=" + folder + "\n");
    EXPECT_EQ(ReadBytes(GetWinIniPath()), "[Parameter]\nInputDir=" + folder + "/\n");

    const std::string longFolder = "/" + std::string(300, 'f');
    ASSERT_TRUE(WriteInputDir(longFolder));
    EXPECT_EQ(ReadInputDir(), longFolder.substr(0, 259));
}

TEST_F(SettingsStore, AWriteThatCannotBeMadeLeavesTheOldValue)
{
    ASSERT_TRUE(WriteNamingRule("kept"));
    EXPECT_FALSE(WritePrivateProfileString("Pagewright", "Name", "lost", "/proc/self/Pagewright.ini"));
    EXPECT_EQ(ReadNamingRule(), "kept");
}

}  // namespace
}  // namespace pw
