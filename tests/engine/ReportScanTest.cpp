#include <gtest/gtest.h>

#include "engine/ToolInvocations.h"

namespace pw {
namespace {

struct NumberCase {
    const char* text;
    unsigned expected;
};

class ParseLeadingNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseLeadingNumberTest, ReadsTheNumberAtTheStart)
{
    EXPECT_EQ(ParseLeadingNumber(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ParseLeadingNumberTest,
                         ::testing::Values(NumberCase{"", 0}, NumberCase{"1", 1}, NumberCase{" 8\n", 8},
                                           NumberCase{"    16,", 16}, NumberCase{"123abc", 123},
                                           NumberCase{"\t1", 0},      // a tab is not skipped
                                           NumberCase{" \t1", 0}, NumberCase{"x1", 0}, NumberCase{"   ", 0},
                                           NumberCase{"-1", 0}, NumberCase{"007", 7},
                                           NumberCase{"99999999999999999999", 4294967295u}));

TEST(ParseLeadingNumberTest, NullTextIsZero)
{
    EXPECT_EQ(ParseLeadingNumber(nullptr), 0u);
}

struct ScanCase {
    const char* name;
    std::string report;
    unsigned expected;
};

class ScanBitsPerSampleTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanBitsPerSampleTest, WalksThePages)
{
    EXPECT_EQ(ScanBitsPerSample(GetParam().report, "Bits/Sample:"), GetParam().expected);
}

std::string Page(const std::string& bits, const std::string& compression = "None")
{
    return "TIFF Directory at offset 0x8 (8)\n  Image Width: 64 Image Length: 48\n  Bits/Sample: " + bits
           + "\n  Compression Scheme: " + compression + "\n  Photometric Interpretation: min-is-white\n";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScanBitsPerSampleTest,
    ::testing::Values(
        ScanCase{"OnePageBilevel", Page("1"), 1},
        ScanCase{"OnePageGrey", Page("8"), 8},
        ScanCase{"AllPagesBilevel", Page("1") + Page("1", "CCITT Group 4") + Page("1"), 1},
        ScanCase{"SecondPageDeeper", Page("1") + Page("8"), 8},
        ScanCase{"FirstDeeperStopsAtOnce", Page("16") + Page("1"), 16},
        ScanCase{"ErrorText", "ERROR", 8},
        ScanCase{"Empty", "", 8},
        ScanCase{"DamagedFileReport", "TIFFReadDirectory: Failed to read directory at offset 8.\n", 8},
        ScanCase{"CompressWithoutKey", "  Compression Scheme: None\n", 8},
        ScanCase{"TabAfterKey", "  Bits/Sample:\t1\n  Compression Scheme: None\n", 0},
        ScanCase{"KeyAfterCompressOnLastPage", "  Compression Scheme: None\n  Bits/Sample: 1\n", 1},
        // Case matters: "compress" is not "Compress".
        ScanCase{"LowerCaseCompress", "  Bits/Sample: 1\n  compression scheme: none\n", 8},
        // The walk reads the key after each "Compress": a last page without
        // the key leaves the result of the page before.
        ScanCase{"LastPageWithoutKey", Page("1") + "  Compression Scheme: None\n", 1}),
    [](const ::testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST(ScanBitsPerSampleTest, UsesTheGivenKey)
{
    EXPECT_EQ(ScanBitsPerSample("Depth: 1\nCompression\nDepth: 4\nCompression\n", "Depth:"), 4u);
}

}  // namespace
}  // namespace pw
