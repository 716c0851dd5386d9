// The name of each extracted file: folder, base name, "-", the range without
// blanks, the extension - and never a place outside the folder.

#include <gtest/gtest.h>

#include "pages/ExtractNaming.h"

namespace pw {
namespace {

struct Naming {
    std::string folder, source, range, expected;
};

class ExtractName : public ::testing::TestWithParam<Naming> {};

TEST_P(ExtractName, IsBuiltFromFolderBaseNameRangeAndExtension)
{
    std::string refusal = "untouched";
    EXPECT_EQ(ExtractOutputPath(GetParam().folder, GetParam().source, GetParam().range, &refusal),
              GetParam().expected);
    EXPECT_EQ(refusal, "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExtractName,
    ::testing::Values(Naming{"/out", "/scan/letter.tif", "1-3, 7", "/out/letter-1-3,7.tif"},
                      Naming{"/out/", "/scan/letter.tif", "1-3, 7", "/out/letter-1-3,7.tif"},
                      Naming{"/out", "/scan/a.b.TIFF", " 1 - 3 ", "/out/a.b-1-3.TIFF"},
                      Naming{"/out", "/scan/noext", "even", "/out/noext-even"},
                      Naming{"/out", "/scan/letter.tif", "20-10", "/out/letter-20-10.tif"},
                      Naming{"/out", "/scan/letter.tif", "..", "/out/letter-...tif"},
                      Naming{"out", "relative dir/x y.tif", "odd", "out/x y-odd.tif"},
                      Naming{"/out", "/scan/letter.tif", "1\t2", "/out/letter-1\t2.tif"}));

TEST(ExtractName, ARangeWithAPathSeparatorIsRefused)
{
    for (const char* range : {"1/3", "../../etc/x", "1\\3", " / "}) {
        std::string refusal;
        EXPECT_EQ(ExtractOutputPath("/out", "/scan/letter.tif", range, &refusal), "") << range;
        EXPECT_NE(refusal.find("separator"), std::string::npos) << refusal;
    }
    EXPECT_EQ(ExtractOutputPath("/out", "/scan/letter.tif", "1/3"), "") << "the refusal may be ignored";
}

TEST(ExtractName, AnEmptyFolderIsRefused)
{
    std::string refusal;
    EXPECT_EQ(ExtractOutputPath("", "/scan/letter.tif", "1", &refusal), "");
    EXPECT_FALSE(refusal.empty());
}

}  // namespace
}  // namespace pw
