#include "ui/XMessageBox.h"
#include "ui/XMessageBoxButtons.h"

#include <gtest/gtest.h>

#include <map>

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
        SetCase{MB_ABORTRETRYIGNORE, {{0, 3}, {13, 4}, {7, 5}}},
        SetCase{MB_YESNOCANCEL, {{17, 6}, {9, 7}, {1, 2}}}, SetCase{MB_YESNO, {{17, 6}, {9, 7}}},
        SetCase{MB_RETRYCANCEL, {{13, 4}, {1, 2}}}, SetCase{MB_CANCELTRYCONTINUE, {{1, 2}, {16, 10}, {2, 11}}},
        SetCase{XMB_CONTINUE_ABORT, {{2, 11}, {0, 3}}}, SetCase{XMB_SKIP_SKIPALL_CANCEL, {{14, 14}, {15, 15}, {1, 2}}},
        SetCase{XMB_IGNORE_IGNOREALL_CANCEL, {{7, 5}, {8, 16}, {1, 2}}}, SetCase{10, {{11, 1}}},
        SetCase{15, {{11, 1}}},
        SetCase{MB_YESNOCANCEL | XMB_ADD_YESTOALL | XMB_ADD_NOTOALL, {{17, 6}, {18, 19}, {9, 7}, {10, 20}, {1, 2}}},
        SetCase{MB_YESNO | XMB_ADD_NOTOALL, {{17, 6}, {9, 7}, {10, 20}}},
        SetCase{MB_YESNO | XMB_ADD_YESTOALL, {{17, 6}, {18, 19}, {9, 7}}},
        // The "to all" buttons belong to the Yes/No sets only.
        SetCase{MB_OKCANCEL | XMB_ADD_YESTOALL | XMB_ADD_NOTOALL, {{11, 1}, {1, 2}}},
        SetCase{MB_OK | MB_HELP, {{11, 1}, {6, 300}}},
        // Icon, default-button and other bits do not change the row.
        SetCase{MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST | XMB_SILENT, {{17, 6}, {9, 7}}}));

TEST(XMessageBoxButtonsTest, ReportFollowsHelpAtTheEnd) {
    EXPECT_EQ(Pairs(RowButtons(MB_YESNO | MB_HELP, {}, true)), (Row{{17, 6}, {9, 7}, {6, 300}, {12, 301}}));
}

TEST(XMessageBoxButtonsTest, CustomButtonsReplaceTheSet) {
    const auto row = RowButtons(MB_YESNOCANCEL | XMB_ADD_YESTOALL | MB_HELP, SplitCustomButtons("One\nTwo\nThree"), true);
    ASSERT_EQ(row.size(), 5u);
    EXPECT_EQ(row[0], (XmbButton{-1, 23, "One"}));
    EXPECT_EQ(row[1], (XmbButton{-1, 24, "Two"}));
    EXPECT_EQ(row[2], (XmbButton{-1, 25, "Three"}));
    EXPECT_EQ(row[3].id, 300);
    EXPECT_EQ(row[4].id, 301);
}

TEST(XMessageBoxButtonsTest, OnlyTheFirstFourCustomCaptionsCount) {
    EXPECT_EQ(SplitCustomButtons("a\nb\nc\nd\ne\nf"), (std::vector<std::string>{"a", "b", "c", "d"}));
    const auto row = RowButtons(MB_OK, {"a", "b", "c", "d", "e"}, false);
    ASSERT_EQ(row.size(), 4u);
    EXPECT_EQ(row.back().id, IDCUSTOM4);
}

TEST(XMessageBoxButtonsTest, EmptyCustomPartsAreSkipped) {
    EXPECT_EQ(SplitCustomButtons("Keep\n\nDrop\n"), (std::vector<std::string>{"Keep", "Drop"}));
    EXPECT_TRUE(SplitCustomButtons("").empty());
    EXPECT_TRUE(SplitCustomButtons("\n\n").empty());
}

struct DefaultCase {
    unsigned bits;
    int count;
    int expected;
};

class DefaultButtonTest : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultButtonTest, ComesFromTheDefaultButtonBits) {
    EXPECT_EQ(DefaultButtonPosition(MB_YESNOCANCEL | GetParam().bits, GetParam().count), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Bits, DefaultButtonTest,
                         ::testing::Values(DefaultCase{MB_DEFBUTTON1, 3, 1}, DefaultCase{MB_DEFBUTTON2, 3, 2},
                                           DefaultCase{MB_DEFBUTTON3, 3, 3}, DefaultCase{MB_DEFBUTTON4, 3, 1},
                                           DefaultCase{MB_DEFBUTTON4, 4, 4}, DefaultCase{MB_DEFBUTTON5, 5, 5},
                                           DefaultCase{MB_DEFBUTTON6, 6, 6}, DefaultCase{MB_DEFBUTTON6, 5, 1},
                                           DefaultCase{0x600, 8, 1}, DefaultCase{0xF00, 8, 1},
                                           DefaultCase{MB_DEFBUTTON2, 1, 1}));

TEST(XMessageBoxButtonsTest, EscapeAnswersPerSet) {
    const std::map<unsigned, std::optional<int>> expected{
        {0, IDOK},           {1, IDCANCEL},     {2, std::nullopt},  {3, IDCANCEL},
        {4, std::nullopt},   {5, IDCANCEL},     {6, IDCANCEL},      {7, std::nullopt},
        {8, IDCANCEL},       {9, IDCANCEL},     {10, std::nullopt}, {11, std::nullopt},
        {12, std::nullopt},  {13, std::nullopt}, {14, std::nullopt}, {15, std::nullopt}};
    for (const auto& [set, answer] : expected) {
        EXPECT_EQ(EscapeResult(set | MB_ICONHAND | MB_HELP, false), answer) << "set " << set;
        EXPECT_EQ(EscapeResult(set, true), std::nullopt) << "custom buttons on set " << set;
    }
}

TEST(XMessageBoxButtonsTest, OnlyTheFirstCheckBoxBitCounts) {
    EXPECT_EQ(CheckBoxCaption(MB_OK), -1);
    EXPECT_EQ(CheckBoxBit(MB_OK), 0u);
    EXPECT_EQ(CheckBoxCaption(XMB_SHOWAGAIN_BOX), kCapDontShowAgain);
    EXPECT_EQ(CheckBoxCaption(XMB_TELLAGAIN_BOX | XMB_SHOWAGAIN_BOX), kCapDontTellAgain);
    EXPECT_EQ(CheckBoxBit(XMB_TELLAGAIN_BOX | XMB_SHOWAGAIN_BOX), XMB_TELLAGAIN_BOX);
    EXPECT_EQ(CheckBoxCaption(XMB_ASKAGAIN_BOX | XMB_TELLAGAIN_BOX | XMB_SHOWAGAIN_BOX), kCapDontAskAgain);
    EXPECT_EQ(CheckBoxBit(XMB_ASKAGAIN_BOX | XMB_SHOWAGAIN_BOX), XMB_ASKAGAIN_BOX);
}

class CaptionsTest : public ::testing::Test {
protected:
    std::array<std::string, kCaptionCount> custom{};
    std::vector<unsigned> asked;
    XmbStringLookup strings = [this](unsigned n) -> std::optional<std::string> {
        asked.push_back(n);
        if (n == 9007) return std::string("&Ja");
        if (n == 9016) return std::string("&Melden");
        return std::nullopt;
    };
};

TEST_F(CaptionsTest, DefaultsWithoutStrings) {
    const auto c = ResolveCaptions(false, custom, false, nullptr, std::nullopt);
    EXPECT_EQ(c[kCapOK], "OK");
    EXPECT_EQ(c[kCapCancel], "Cancel");
    EXPECT_EQ(c[kCapIgnoreAll], "I&gnore All");
    EXPECT_EQ(c[kCapYesToAll], "Y&es to All");
    EXPECT_EQ(c[kCapDontAskAgain], "Don't ask me again");
}

TEST_F(CaptionsTest, StringsReplaceDefaultsWhereTheyAreFound) {
    const auto c = ResolveCaptions(false, custom, false, strings, std::nullopt);
    EXPECT_EQ(c[kCapYes], "&Ja");
    EXPECT_EQ(c[kCapReport], "&Melden");
    EXPECT_EQ(c[kCapNo], "&No");
    EXPECT_EQ(asked.size(), static_cast<std::size_t>(kCaptionCount));
}

TEST_F(CaptionsTest, NoStringResourcesKeepsTheDefaults) {
    const auto c = ResolveCaptions(false, custom, true, strings, std::nullopt);
    EXPECT_EQ(c[kCapYes], "&Yes");
    EXPECT_TRUE(asked.empty());
}

TEST_F(CaptionsTest, CustomCaptionsWinAndStringsAreNotAsked) {
    custom[kCapNo] = "&Nein";
    const auto c = ResolveCaptions(true, custom, false, strings, std::nullopt);
    EXPECT_EQ(c[kCapNo], "&Nein");
    EXPECT_EQ(c[kCapYes], "&Yes");
    EXPECT_TRUE(asked.empty());
}

TEST_F(CaptionsTest, AReportCaptionStaysInEveryCase) {
    custom[kCapReport] = "Custom report";
    for (bool useCustom : {false, true}) {
        const auto c = ResolveCaptions(useCustom, custom, false, strings, std::string("Send"));
        EXPECT_EQ(c[kCapReport], "Send");
    }
}

TEST_F(CaptionsTest, CaptionsAreCutTo99BytesWithoutSplittingACharacter) {
    custom[kCapOK] = std::string(98, 'x') + "\xC3\xA9" + "tail";
    custom[kCapCancel] = std::string(150, 'y');
    const auto c = ResolveCaptions(true, custom, false, nullptr, std::string(120, 'r'));
    EXPECT_EQ(c[kCapOK], std::string(98, 'x'));
    EXPECT_EQ(c[kCapCancel], std::string(99, 'y'));
    EXPECT_EQ(c[kCapReport], std::string(99, 'r'));
}

TEST(XMessageBoxButtonsTest, ValidUtf8KeepsGoodTextAndRescuesOtherBytes) {
    EXPECT_EQ(ValidUtf8("Gr\xC3\xBC\xC3\x9F" "e"), "Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(ValidUtf8("Gr\xFC\xDF" "e"), "Gr\xC3\xBC\xC3\x9F" "e");    // Latin-1
    EXPECT_EQ(ValidUtf8("cut \xC3"), "cut \xC3\x83");                   // lone lead byte
    EXPECT_EQ(ValidUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");               // overlong form
    EXPECT_EQ(ValidUtf8(""), "");
}

}  // namespace
}  // namespace pw
