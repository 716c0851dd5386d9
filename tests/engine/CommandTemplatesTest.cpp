#include <gtest/gtest.h>

#include "engine/CommandTemplates.h"
#include "platform/CommandLine.h"

namespace pw {
namespace {

using Args = std::vector<std::string>;

const std::string kTool = "/opt/pw/tiffcp";
const std::string kSrc = "/data/in put.tif";
const std::string kDst = "/out/res ult.tif";

struct TemplateCase {
    const char* name;
    CommandLine line;
    std::string text;
    Args arguments;
};

class CommandTemplateTest : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(CommandTemplateTest, GivesTheExactTextAndItsArguments)
{
    const TemplateCase& c = GetParam();
    EXPECT_EQ(c.line.text, c.text);
    EXPECT_EQ(c.line.arguments, c.arguments);
    // For names without double quotes the text alone splits the same way.
    EXPECT_EQ(SplitCommandLine(c.line.text), c.arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Six, CommandTemplateTest,
    ::testing::Values(
        TemplateCase{"Report", ReportCommandLine("/opt/pw/tiffinfo", kSrc),
                     R"("/opt/pw/tiffinfo" "/data/in put.tif")", {"/opt/pw/tiffinfo", kSrc}},
        TemplateCase{"Recompress", RecompressCommandLine(kTool, R"("-c" "lzw")", kSrc, kDst),
                     R"("/opt/pw/tiffcp" "-c" "lzw" "/data/in put.tif" "/out/res ult.tif")",
                     {kTool, "-c", "lzw", kSrc, kDst}},
        TemplateCase{"RecompressNoArguments", RecompressCommandLine(kTool, "", kSrc, kDst),
                     R"("/opt/pw/tiffcp"  "/data/in put.tif" "/out/res ult.tif")", {kTool, kSrc, kDst}},
        TemplateCase{"RecompressPackbits", RecompressPackbitsCommandLine(kTool, kSrc, kDst),
                     R"("/opt/pw/tiffcp" "-c" "packbits" "/data/in put.tif" "/out/res ult.tif")",
                     {kTool, "-c", "packbits", kSrc, kDst}},
        TemplateCase{"Append", AppendCommandLine(kTool, kSrc, kDst),
                     R"("/opt/pw/tiffcp" "-a" "/data/in put.tif" "/out/res ult.tif")", {kTool, "-a", kSrc, kDst}},
        TemplateCase{"AppendCompressed", AppendCompressedCommandLine(kTool, R"("-c" "g4")", kSrc, kDst),
                     R"("/opt/pw/tiffcp" "-a" "-c" "g4" "/data/in put.tif" "/out/res ult.tif")",
                     {kTool, "-a", "-c", "g4", kSrc, kDst}},
        TemplateCase{"AppendCompressedNoArguments", AppendCompressedCommandLine(kTool, "", kSrc, kDst),
                     R"("/opt/pw/tiffcp" "-a"  "/data/in put.tif" "/out/res ult.tif")", {kTool, "-a", kSrc, kDst}},
        TemplateCase{"Split", SplitPagesCommandLine("/opt/pw/tiffsplit", kSrc, "/out/Demo1__2/scan"),
                     R"("/opt/pw/tiffsplit""/data/in put.tif" "/out/Demo1__2/scan")",
                     {"/opt/pw/tiffsplit", kSrc, "/out/Demo1__2/scan"}}),
    [](const ::testing::TestParamInfo<TemplateCase>& info) { return std::string(info.param.name); });

// File names that would break the text: each still reaches the tool as one
// argument, and the options around it stay as the template has them.
class HostileNameTest : public ::testing::TestWithParam<std::string> {};

TEST_P(HostileNameTest, StaysOneArgumentAndAddsNoOption)
{
    const std::string name = GetParam();
    const CommandLine append = AppendCompressedCommandLine(kTool, R"("-c" "lzw")", name, name);
    EXPECT_EQ(append.arguments, (Args{kTool, "-a", "-c", "lzw", ToolFileArgument(name), ToolFileArgument(name)}));
    const CommandLine split = SplitPagesCommandLine("/opt/pw/tiffsplit", name, name);
    EXPECT_EQ(split.arguments, (Args{"/opt/pw/tiffsplit", ToolFileArgument(name), ToolFileArgument(name)}));
    // The text still shows the name itself.
    EXPECT_NE(append.text.find(ToolFileArgument(name)), std::string::npos);
    for (const std::string& argument : append.arguments)
        EXPECT_TRUE(argument == kTool || argument == "-a" || argument == "-c" || argument == "lzw"
                    || argument == ToolFileArgument(name))
            << argument;
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest,
                         ::testing::Values(R"(/x/a" "-o" "/etc/passwd)", R"(/x/"quoted".tif)", "/x/end quote\"",
                                           "/x/tab\there.tif", "/x/\"\"", "-c", "-a.tif", "--", "",
                                           "/x/back\\\"slash.tif", "/x/new\nline.tif", "/x/\xe5\x90\x8d.tif"));

TEST(ToolFileArgumentTest, OnlyALeadingDashIsGuarded)
{
    EXPECT_EQ(ToolFileArgument("-x.tif"), "./-x.tif");
    EXPECT_EQ(ToolFileArgument("--"), "./--");
    EXPECT_EQ(ToolFileArgument("a-x.tif"), "a-x.tif");
    EXPECT_EQ(ToolFileArgument("/abs/-x.tif"), "/abs/-x.tif");
    EXPECT_EQ(ToolFileArgument(""), "");
}

TEST(CommandTemplatesTest, LeadingDashNameIsShownAndGivenAsAPath)
{
    const CommandLine line = ReportCommandLine("/opt/pw/tiffinfo", "-D.tif");
    EXPECT_EQ(line.text, R"("/opt/pw/tiffinfo" "./-D.tif")");
    EXPECT_EQ(line.arguments, (Args{"/opt/pw/tiffinfo", "./-D.tif"}));
}

TEST(CommandTemplatesTest, CompressionTextIsReadByTheSplittingRule)
{
    // Settings text is command text: a quoted stretch with a blank stays one
    // argument, two quoted words are two.
    const CommandLine line = RecompressCommandLine(kTool, R"("-c" "jpeg:r" "-r" "16")", "s", "d");
    EXPECT_EQ(line.arguments, (Args{kTool, "-c", "jpeg:r", "-r", "16", "s", "d"}));
}

}  // namespace
}  // namespace pw
