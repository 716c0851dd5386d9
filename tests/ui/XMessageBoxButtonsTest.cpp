#include "ui/XMessageBox.h"
#include "ui/XMessageBoxButtons.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using Row = std::vector<std::pair<int, int>>;  // (caption index, control number)

Row Pairs(const std::vector<XmbButton>& buttons) {
    Row row;
    for (const auto& b : buttons) row.emplace_back(b.caption, b.id);
    return row;
}

struct SetCase {
    unsigned style;
    Row expected;
};

class ButtonSetTest : public ::testing::TestWithParam<SetCase> {};

TEST_P(ButtonSetTest, GivesTheSetsButtonsInOrder) {
    EXPECT_EQ(Pairs(RowButtons(GetParam().style, {}, false)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllSets, ButtonSetTest,
    ::testing::Values(
        SetCase{MB_OK, {{11, 1}}}, SetCase{MB_OKCANCEL, {{11, 1}, {1, 2}}},
        SetCase{MB_ABORTRETRYIGNORE, {{0, 3}, {13, 4}, {7, 5}}}, SetCase{MB_YESNOCANCEL, {{17, 6}, {9, 7}, {1, 2}}},
        SetCase{MB_YESNO, {{17, 6}, {9, 7}}}, SetCase{MB_RETRYCANCEL, {{13, 4}, {1, 2}}},
        SetCase{MB_CANCELTRYCONTINUE, {{1, 2}, {16, 10}, {2, 11}}}, SetCase{XMB_CONTINUE_ABORT, {{2, 11}, {0, 3}}},
        SetCase{XMB_SKIP_SKIPALL_CANCEL, {{14, 14}, {15, 15}, {1, 2}}},
        SetCase{XMB_IGNORE_IGNOREALL_CANCEL, {{7, 5}, {8, 16}, {1, 2}}}, SetCase{10, {{11, 1}}}, SetCase{15, {{11, 1}}},
        SetCase{MB_YESNOCANCEL | XMB_ADD_YESTOALL | XMB_ADD_NOTOALL, {{17, 6}, {18, 19}, {9, 7}, {10, 20}, {1, 2}}},
        SetCase{MB_YESNO | XMB_ADD_NOTOALL, {{17, 6}, {9, 7}, {10, 20}}},
        // The "to all" buttons belong to the Yes/No sets only.
        SetCase{MB_OKCANCEL | XMB_ADD_YESTOALL | XMB_ADD_NOTOALL, {{11, 1}, {1, 2}}},
        SetCase{MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST | MB_HELP, {{17, 6}, {9, 7}, {6, 300}}}));

TEST(XMessageBoxButtonsTest, CustomButtonsReplaceTheSetHelpAndReportFollow) {
    EXPECT_EQ(Pairs(RowButtons(MB_YESNO | MB_HELP, {}, true)), (Row{{17, 6}, {9, 7}, {6, 300}, {12, 301}}));
    const auto row = RowButtons(MB_YESNOCANCEL | XMB_ADD_YESTOALL | MB_HELP, {"a", "b", "c", "d", "e"}, true);
    EXPECT_EQ(Pairs(row), (Row{{-1, 23}, {-1, 24}, {-1, 25}, {-1, 26}, {6, 300}, {12, 301}}));
    EXPECT_EQ(row[3].customText, "d");
    EXPECT_EQ(SplitCustomButtons("a\nb\n\nc\nd\ne\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_TRUE(SplitCustomButtons("\n\n").empty());
}

TEST(XMessageBoxButtonsTest, DefaultButtonFromTheBitsOrTheFirst) {
    const std::vector<std::tuple<unsigned, int, int>> cases{
        {MB_DEFBUTTON1, 3, 1}, {MB_DEFBUTTON2, 3, 2}, {MB_DEFBUTTON3, 3, 3}, {MB_DEFBUTTON4, 3, 1},
        {MB_DEFBUTTON4, 4, 4}, {MB_DEFBUTTON5, 5, 5}, {MB_DEFBUTTON6, 6, 6}, {MB_DEFBUTTON6, 5, 1},
        {0x600, 8, 1},         {0xF00, 8, 1},         {MB_DEFBUTTON2, 1, 1}};
    for (const auto& [bits, count, expected] : cases)
        EXPECT_EQ(DefaultButtonPosition(MB_YESNOCANCEL | bits, count), expected) << std::hex << bits << " " << count;
}

TEST(XMessageBoxButtonsTest, EscapeAnswersPerSet) {
    const std::optional<int> no;
    const std::vector<std::optional<int>> expected{IDOK, IDCANCEL, no, IDCANCEL, no, IDCANCEL, IDCANCEL, no,
                                                   IDCANCEL, IDCANCEL, no, no, no, no, no, no};
    for (unsigned set = 0; set < 16; ++set) {
        EXPECT_EQ(EscapeResult(set | MB_ICONHAND | MB_HELP, false), expected[set]) << "set " << set;
        EXPECT_EQ(EscapeResult(set, true), no) << "custom buttons on set " << set;
    }
}

TEST(XMessageBoxButtonsTest, OnlyTheFirstCheckBoxBitCounts) {
    EXPECT_EQ(CheckBoxCaption(MB_OK), -1);
    EXPECT_EQ(CheckBoxBit(MB_OK), 0u);
    EXPECT_EQ(CheckBoxCaption(XMB_SHOWAGAIN_BOX), kCapDontShowAgain);
    EXPECT_EQ(CheckBoxCaption(XMB_TELLAGAIN_BOX | XMB_SHOWAGAIN_BOX), kCapDontTellAgain);
    EXPECT_EQ(CheckBoxBit(XMB_ASKAGAIN_BOX | XMB_TELLAGAIN_BOX | XMB_SHOWAGAIN_BOX), XMB_ASKAGAIN_BOX);
}

TEST(XMessageBoxButtonsTest, CaptionsFromDefaultsStringsCustomAndReport) {
    std::vector<unsigned> asked;
    const XmbStringLookup strings = [&](unsigned n) -> std::optional<std::string> {
        asked.push_back(n);
        if (n == 9007) return std::string("&Ja");
        return std::nullopt;
    };
    std::array<std::string, kCaptionCount> custom{};

    auto c = ResolveCaptions(false, custom, false, nullptr, std::nullopt);
    EXPECT_EQ(c[kCapOK], "OK");
    EXPECT_EQ(c[kCapIgnoreAll], "I&gnore All");
    EXPECT_EQ(c[kCapDontAskAgain], "Don't ask me again");

    c = ResolveCaptions(false, custom, false, strings, std::nullopt);
    EXPECT_EQ(c[kCapYes], "&Ja");
    EXPECT_EQ(c[kCapNo], "&No");
    EXPECT_EQ(asked.size(), static_cast<std::size_t>(kCaptionCount));

    asked.clear();
    EXPECT_EQ(ResolveCaptions(false, custom, true, strings, std::nullopt)[kCapYes], "&Yes");
    custom[kCapNo] = "&Nein";
    custom[kCapReport] = "Custom report";
    c = ResolveCaptions(true, custom, false, strings, std::string("Send"));
    EXPECT_EQ(c[kCapNo], "&Nein");
    EXPECT_EQ(c[kCapYes], "&Yes");
    EXPECT_EQ(c[kCapReport], "Send");  // a report caption wins in every case
    EXPECT_TRUE(asked.empty());
}

TEST(XMessageBoxButtonsTest, CaptionsAreCutTo99BytesWithoutSplittingACharacter) {
    std::array<std::string, kCaptionCount> custom{};
    custom[kCapOK] = std::string(98, 'x') + "\xC3\xA9" + "tail";
    custom[kCapCancel] = std::string(150, 'y');
    const auto c = ResolveCaptions(true, custom, false, nullptr, std::string(120, 'r'));
    EXPECT_EQ(c[kCapOK], std::string(98, 'x'));
    EXPECT_EQ(c[kCapCancel], std::string(99, 'y'));
    EXPECT_EQ(c[kCapReport], std::string(99, 'r'));
}

TEST(XMessageBoxButtonsTest, ValidUtf8KeepsGoodTextAndRescuesOtherBytes) {
    EXPECT_EQ(ValidUtf8("Gr\xC3\xBC\xC3\x9F" "e"), "Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(ValidUtf8("Gr\xFC\xDF" "e"), "Gr\xC3\xBC\xC3\x9F" "e");  // Latin-1
    EXPECT_EQ(ValidUtf8("cut \xC3"), "cut \xC3\x83");                 // lone lead byte
    EXPECT_EQ(ValidUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");             // overlong form
}

}  // namespace
}  // namespace pw
