#include <gtest/gtest.h>

#include "platform/CommandLine.h"
#include "platform/ProcessRunner.h"

namespace pw {
namespace {

using Args = std::vector<std::string>;

struct SplitCase {
    const char* line;
    Args expected;
};

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, GivesTheArgumentsAWindowsProgramGets)
{
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().expected) << "line: " << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{R"("/p/tiffinfo" "/x/a b.tif")", {"/p/tiffinfo", "/x/a b.tif"}},
        // The program ends at its closing quote even with no blank after it.
        SplitCase{R"("/p/tiffsplit""/x/in.tif" "/y/scan")", {"/p/tiffsplit", "/x/in.tif", "/y/scan"}},
        SplitCase{R"("/p/tiffcp" "-c" "lzw" "s.tif" "d.tif")", {"/p/tiffcp", "-c", "lzw", "s.tif", "d.tif"}},
        // An empty compression text leaves two blanks: no argument at all.
        SplitCase{R"("/p/tiffcp"  "s.tif" "d.tif")", {"/p/tiffcp", "s.tif", "d.tif"}},
        SplitCase{R"("/p/tiffcp" "-a"  "s.tif" "d.tif")", {"/p/tiffcp", "-a", "s.tif", "d.tif"}},
        // Quotes are dropped wherever they stand; a quoted stretch keeps blanks.
        SplitCase{R"(prog a"b c"d e)", {"prog", "ab cd", "e"}},
        SplitCase{R"(prog "" x)", {"prog", "", "x"}},
        SplitCase{R"(prog "a""b")", {"prog", "ab"}},
        SplitCase{"prog\ta\t\t b  ", {"prog", "a", "b"}},
        // A line that ends inside a quoted stretch keeps what it has.
        SplitCase{R"(prog "open end)", {"prog", "open end"}},
        SplitCase{R"("/a dir/prog)", {"/a dir/prog"}},
        // An unquoted program runs to the first blank, quotes and all.
        SplitCase{R"(pro"g x)", {"pro\"g", "x"}},
        // Backslashes are ordinary characters here.
        SplitCase{R"(prog "a\" b\\ c\)", {"prog", "a\\", "b\\\\", "c\\"}},
        // Bytes outside ASCII pass unchanged.
        SplitCase{"prog \"/x/\xc3\xa9t\xc3\xa9.tif\"", {"prog", "/x/\xc3\xa9t\xc3\xa9.tif"}},
        SplitCase{"", {""}}));

TEST(SplitCommandPiecesTest, VerbatimPiecesNeverSplitOrQuote)
{
    // A file name with quotes and blanks placed into a quoted slot stays one
    // argument: it can neither close the quote nor add an option.
    const std::string name = R"(/x/a" "-o" "/etc/evil)";
    const Args args = SplitCommandPieces({{R"(")", false}, {"/p/tiffcp", true}, {R"(" "-a" ")", false},
                                          {name, true}, {R"(" ")", false}, {"out .tif", true}, {R"(")", false}});
    EXPECT_EQ(args, (Args{"/p/tiffcp", "-a", name, "out .tif"}));
}

TEST(SplitCommandPiecesTest, VerbatimPieceOutsideQuotesKeepsItsBlanks)
{
    EXPECT_EQ(SplitCommandPieces({{"prog ", false}, {"a b\t\"c", true}, {" d", false}}),
              (Args{"prog", "a b\t\"c", "d"}));
}

TEST(SplitCommandPiecesTest, EmptyVerbatimPieceInQuotesIsAnEmptyArgument)
{
    EXPECT_EQ(SplitCommandPieces({{"prog \"", false}, {"", true}, {"\" x", false}}), (Args{"prog", "", "x"}));
}

}  // namespace
}  // namespace pw
