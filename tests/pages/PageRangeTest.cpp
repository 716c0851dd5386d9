#include "pages/PageRange.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pw {
namespace {

// The pages (from 1) a selection holds.
std::vector<int> Pages(const PageSelection& selection)
{
    std::vector<int> pages;
    for (size_t i = 0; i < selection.size(); ++i) {
        if (selection[i] == 1)
            pages.push_back(static_cast<int>(i) + 1);
    }
    return pages;
}

std::vector<int> Span(int first, int last)
{
    std::vector<int> pages;
    for (int p = first; p <= last; ++p)
        pages.push_back(p);
    return pages;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts)
{
    std::vector<int> pages;
    for (const auto& part : parts)
        pages.insert(pages.end(), part.begin(), part.end());
    return pages;
}

struct RangeCase {
    std::string text;
    int pageCount;
    std::vector<int> pages;
};

void PrintTo(const RangeCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" of " << c.pageCount;
}

class ParsePageRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(ParsePageRangeTest, SelectsExactlyThesePages)
{
    const RangeCase& c = GetParam();
    const PageSelection selection = ParsePageRange(c.text, c.pageCount);
    ASSERT_EQ(selection.size(), static_cast<size_t>(c.pageCount));
    for (int32_t flag : selection)
        ASSERT_TRUE(flag == 0 || flag == 1);
    EXPECT_EQ(Pages(selection), c.pages);
}

// The consequences of the rules, with 50 pages.
INSTANTIATE_TEST_SUITE_P(Consequences, ParsePageRangeTest, testing::Values(
    RangeCase{"10-20", 50, Span(10, 20)},
    RangeCase{"20-10", 50, {20}},
    RangeCase{"5-5", 50, {5}},
    RangeCase{"1-5-8", 50, Span(1, 8)},
    RangeCase{"1-5,7-3", 50, Join({Span(1, 5), {7}})},
    RangeCase{"3,-5", 50, {3, 4, 5}},
    RangeCase{"10,-5", 50, {10}},
    RangeCase{"60-70", 50, {}},
    RangeCase{"30-", 50, Span(30, 50)},
    RangeCase{"10-200", 50, Span(10, 50)},
    RangeCase{"30-,40", 50, {30, 40}},
    RangeCase{"-5, 6-7, 10-20, 30-, even, odd", 50, Join({Span(1, 7), Span(10, 20), {30}})},
    RangeCase{"6_7", 50, {6, 7}},
    RangeCase{"1;3", 50, {1, 3}},
    RangeCase{"1/3", 50, {1, 3}},
    RangeCase{"1,3", 50, {1, 3}}));

// The edge cases, with 10 pages.
INSTANTIATE_TEST_SUITE_P(EdgeCases, ParsePageRangeTest, testing::Values(
    RangeCase{"-5, 6-7, 10-20, 30-", 10, Join({Span(1, 7), {10}})},
    RangeCase{"even", 10, {2, 4, 6, 8, 10}},
    RangeCase{"ODD", 10, {1, 3, 5, 7, 9}},
    RangeCase{"even,1", 10, {1}},
    RangeCase{"-", 10, Span(1, 10)},
    RangeCase{"-3-", 10, Span(1, 10)},
    RangeCase{"0", 10, {}},
    RangeCase{"abc", 10, {}},
    RangeCase{",", 10, {}},
    RangeCase{"   ", 10, {}},
    RangeCase{"5-", 10, Span(5, 10)},
    RangeCase{"11-", 10, {}},
    RangeCase{"12-15", 10, {}},
    RangeCase{"5-123", 10, Span(5, 10)},
    RangeCase{"0-5", 10, {}},
    RangeCase{"+4", 10, {4}},
    RangeCase{"004", 10, {4}},
    RangeCase{"2 5", 10, {}},
    RangeCase{"1-3, 2-4", 10, Span(1, 4)}));

// The steps of the algorithm one by one.
INSTANTIATE_TEST_SUITE_P(Steps, ParsePageRangeTest, testing::Values(
    // Blanks go first, and only blanks.
    RangeCase{"1 3", 50, {13}},
    RangeCase{"e v e n", 6, {2, 4, 6}},
    RangeCase{" o D d ", 5, {1, 3, 5}},
    RangeCase{"even\t", 6, {}},
    RangeCase{"\t7", 10, {7}},
    RangeCase{"1\t-\t3", 10, {1, 2, 3}},
    RangeCase{"evens", 6, {}},
    RangeCase{"odd1", 6, {1}},
    RangeCase{"even", 1, {}},
    RangeCase{"odd", 1, {1}},
    // The leading range.
    RangeCase{"-5-", 50, Span(1, 50)},
    RangeCase{"-5", 50, Span(1, 5)},
    RangeCase{"---5", 50, Span(1, 5)},
    RangeCase{"-0", 10, Span(1, 10)},
    RangeCase{"-x", 10, Span(1, 10)},
    RangeCase{"-60", 50, Span(1, 50)},
    RangeCase{"-5,8", 50, Join({Span(1, 5), {8}})},
    RangeCase{"-5,-8", 50, Span(1, 8)},
    RangeCase{"_5", 10, {}},
    RangeCase{"_", 10, {}},
    RangeCase{"-_3", 10, Span(1, 10)},
    // Ranges and the last page.
    RangeCase{"2-4-", 10, Join({Span(2, 10)})},
    RangeCase{"4_", 10, Span(4, 10)},
    RangeCase{"3-0", 10, {3}},
    RangeCase{"3--5", 10, {3}},
    RangeCase{"3-+5", 10, Span(3, 5)},
    RangeCase{"8,60,-9", 10, {8, 9}},
    RangeCase{"8-60,2", 10, Join({{2}, Span(8, 10)})},
    RangeCase{"5-7,9-", 10, Join({Span(5, 7), Span(9, 10)})},
    RangeCase{"4-x", 10, {4}},
    RangeCase{"10-", 10, {10}},
    RangeCase{"1,2,3", 3, {1, 2, 3}},
    RangeCase{"3,2,1,2,3", 3, {1, 2, 3}}));

// A sign, leading zeros or white space before a number are read again; that
// only selects the same page again, never a page named by the number's
// trailing digits.
INSTANTIATE_TEST_SUITE_P(ReadingAgain, ParsePageRangeTest, testing::Values(
    RangeCase{"+12", 50, {12}},
    RangeCase{"012", 50, {12}},
    RangeCase{"0012", 50, {12}},
    RangeCase{"\t12", 50, {12}},
    RangeCase{"0123", 200, {123}},
    RangeCase{"+0123", 200, {123}},
    RangeCase{"000000000000000000003", 10, {3}},
    RangeCase{"7-015", 50, Span(7, 15)},
    RangeCase{"7-005", 50, {7}},
    RangeCase{"7-+5", 50, {7}},
    RangeCase{"7-\t5", 50, {7}},
    RangeCase{"5-\t-12", 50, {5}},
    RangeCase{"+004-6", 10, Span(4, 6)}));

// Numbers beyond int32 saturate above every page count and are stepped
// over whole.
INSTANTIATE_TEST_SUITE_P(LongNumbers, ParsePageRangeTest, testing::Values(
    RangeCase{"2147483647", 99999, {}},
    RangeCase{"2147483648", 99999, {}},
    RangeCase{"99999999999", 99999, {}},
    RangeCase{"10000000000005", 50, {}},
    RangeCase{"30-10000000000005", 50, Span(30, 50)},
    RangeCase{"1-99999999999999999999,40", 50, Span(1, 50)},
    RangeCase{"-99999999999", 10, Span(1, 10)},
    RangeCase{"-2147483649", 10, Span(1, 10)},
    RangeCase{"3--99999999999,1", 10, {1, 3}},
    RangeCase{"4,-99999999999", 10, Span(4, 10)}));

// Bytes outside of the language.
INSTANTIATE_TEST_SUITE_P(OddBytes, ParsePageRangeTest, testing::Values(
    RangeCase{std::string("1\0" "3", 3), 10, {1, 3}},
    RangeCase{std::string("\0", 1), 10, {}},
    RangeCase{"\xff" "5\x80" "7", 10, {5, 7}},
    RangeCase{"\xe2\x80\x93" "4", 10, {4}},
    RangeCase{"2\xe2\x80\x93" "4", 10, {2, 4}},
    RangeCase{"\x85" "6\xa0", 10, {6}},
    RangeCase{"\v\f\r\n9", 10, {9}}));

TEST(ParsePageRange, EmptyTextOrNoPagesGiveAnEmptySelection)
{
    EXPECT_TRUE(ParsePageRange("", 10).empty());
    EXPECT_TRUE(ParsePageRange("1-5", 0).empty());
    EXPECT_TRUE(ParsePageRange("1-5", -3).empty());
    EXPECT_TRUE(ParsePageRange("", 0).empty());
}

TEST(ParsePageRange, BlanksOnlyGiveEveryElementUnset)
{
    for (const std::string& text : {std::string(" "), std::string(100, ' ')}) {
        const PageSelection selection = ParsePageRange(text, 10);
        EXPECT_EQ(selection, PageSelection(10, 0)) << text.size();
    }
}

TEST(ParsePageRange, TheTextIsTakenByValue)
{
    const std::string text = "1 - 3";
    ParsePageRange(text, 10);
    EXPECT_EQ(text, "1 - 3");
}

TEST(ParsePageRange, ReadsAgainstTheLargestPageNumber)
{
    const PageSelection selection = ParsePageRange("99998-", 99999);
    ASSERT_EQ(selection.size(), 99999u);
    EXPECT_EQ(Pages(selection), (std::vector<int>{99998, 99999}));
}

// Long runs of what the scan reads again and long repeated ranges: the
// result must come, and be right.
TEST(ParsePageRange, LongTexts)
{
    EXPECT_EQ(Pages(ParsePageRange(std::string(1 << 20, '0') + "7", 10)), (std::vector<int>{7}));
    EXPECT_EQ(Pages(ParsePageRange(std::string(1 << 20, '\t') + "8", 10)), (std::vector<int>{8}));
    EXPECT_EQ(Pages(ParsePageRange("+" + std::string(1 << 20, '0'), 10)), std::vector<int>{});
    std::string ranges;
    for (int i = 0; i < 50000; ++i)
        ranges += i % 2 ? "1-99999," : "2,";
    EXPECT_EQ(Pages(ParsePageRange(ranges, 99999)), Span(1, 99999));
    std::string singles;
    for (int i = 1; i <= 99999; i += 3)
        singles += std::to_string(i) + ",";
    const std::vector<int> pages = Pages(ParsePageRange(singles, 99999));
    ASSERT_EQ(pages.size(), 33333u);
    EXPECT_EQ(pages.back(), 99997);
}

}  // namespace
}  // namespace pw
