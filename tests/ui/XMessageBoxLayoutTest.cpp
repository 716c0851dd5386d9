#include "ui/XMessageBox.h"
#include "ui/XMessageBoxLayout.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

// Every character (not byte) 10 pixels wide.
int TenPerChar(const std::string& s) {
    int chars = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    return chars * 10;
}

TEST(XMessageBoxLayoutTest, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(XmbMulDiv(38, 8, 4), 76);
    EXPECT_EQ(XmbMulDiv(12, 17, 8), 26);   // 25.5
    EXPECT_EQ(XmbMulDiv(13, 7, 4), 23);    // 22.75
    EXPECT_EQ(XmbMulDiv(1, 17, 8), 2);     // 2.125
    EXPECT_EQ(XmbMulDiv(-12, 17, 8), -26);
    EXPECT_EQ(XmbMulDiv(5, 5, 0), -1);
}

TEST(XMessageBoxLayoutTest, MetricsFollowTheBaseUnits) {
    const XmbMetrics classic = ComputeMetrics(8, 17, false);
    EXPECT_EQ(classic.minButtonWidth, 76);
    EXPECT_EQ(classic.buttonHeight, 26);
    EXPECT_EQ(classic.timeoutExtraWidth, 26);
    EXPECT_EQ(classic.checkBoxHeight, 21);  // 21.25

    const XmbMetrics modern = ComputeMetrics(8, 17, true);
    EXPECT_EQ(modern.minButtonWidth, 76 + 12);
    EXPECT_EQ(modern.buttonHeight, 26 + 2);
    EXPECT_EQ(modern.timeoutExtraWidth, 26);
    EXPECT_EQ(modern.checkBoxHeight, 21);
}

TEST(XMessageBoxLayoutTest, ButtonWidthHasAMinimumAndRoomForTheCountdown) {
    const XmbMetrics m = ComputeMetrics(8, 17, false);
    EXPECT_EQ(ButtonWidth(30, m, false), 76);
    EXPECT_EQ(ButtonWidth(56, m, false), 76);
    EXPECT_EQ(ButtonWidth(57, m, false), 77);
    EXPECT_EQ(ButtonWidth(100, m, false), 120);
    EXPECT_EQ(ButtonWidth(30, m, true), 76 + 26);
    EXPECT_EQ(ButtonWidth(100, m, true), 120 + 26);
}

struct WidthCase {
    unsigned options;
    bool iconBits;
    int expected;
};

class MessageWidthLimitTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(MessageWidthLimitTest, DependsOnOptionsAndIcon) {
    EXPECT_EQ(MessageWidthLimit(1280, GetParam().options, GetParam().iconBits, 48), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Screen1280, MessageWidthLimitTest,
    ::testing::Values(WidthCase{0, false, 720}, WidthCase{XMB_OPT_MODERN, false, 630},
                      WidthCase{XMB_OPT_NARROW, false, 426}, WidthCase{XMB_OPT_NARROW | XMB_OPT_MODERN, false, 426},
                      WidthCase{XMB_OPT_RIGHT_BUTTONS, false, 720}, WidthCase{0, true, 720 - 64},
                      WidthCase{XMB_OPT_MODERN, true, 630 - 64}, WidthCase{XMB_OPT_NARROW, true, 426 - 64}));

TEST(XMessageBoxLayoutTest, WrapBreaksBetweenWordsAtTheLimit) {
    const XmbWrappedText w = WrapMessage("aaa bbb ccc dd", 70, TenPerChar);
    EXPECT_EQ(w.lines, (std::vector<std::string>{"aaa bbb", "ccc dd"}));
    EXPECT_EQ(w.width, 70);
}

TEST(XMessageBoxLayoutTest, WrapKeepsTheTextsOwnLineBreaks) {
    const XmbWrappedText w = WrapMessage("one\r\ntwo\n\nthree", 1000, TenPerChar);
    EXPECT_EQ(w.lines, (std::vector<std::string>{"one", "two", "", "three"}));
    EXPECT_EQ(w.width, 50);
}

TEST(XMessageBoxLayoutTest, WrapExpandsTabsToEightCharacterStops) {
    const XmbWrappedText w = WrapMessage("a\tb\nabcdefgh\tc", 1000, TenPerChar);
    EXPECT_EQ(w.lines, (std::vector<std::string>{"a       b", "abcdefgh        c"}));
}

TEST(XMessageBoxLayoutTest, WrapBreaksAWordWiderThanTheLimitBetweenCharacters) {
    const XmbWrappedText w = WrapMessage("go /a/very/long/path end", 50, TenPerChar);
    EXPECT_EQ(w.lines, (std::vector<std::string>{"go", "/a/ve", "ry/lo", "ng/pa", "th", "end"}));
    EXPECT_LE(w.width, 50);
}

TEST(XMessageBoxLayoutTest, WrapNeverSplitsAUtf8Character) {
    const XmbWrappedText w = WrapMessage("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", 20, TenPerChar);
    EXPECT_EQ(w.lines, (std::vector<std::string>{"\xC3\xA4\xC3\xB6", "\xC3\xBC\xC3\x9F"}));
}

TEST(XMessageBoxLayoutTest, WrapOfAnEmptyTextIsOneEmptyLine) {
    const XmbWrappedText w = WrapMessage("", 100, TenPerChar);
    EXPECT_EQ(w.lines, std::vector<std::string>{""});
    EXPECT_EQ(w.width, 0);
}

TEST(XMessageBoxLayoutTest, WrapGivesEveryCharacterEvenWithAHopelessLimit) {
    const XmbWrappedText w = WrapMessage("abc", 3, TenPerChar);
    EXPECT_EQ(w.lines, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(XMessageBoxLayoutTest, ClassicBoxWithoutIconCentresItsButton) {
    XmbLayoutInput in;
    in.baseX = 8;
    in.baseY = 17;
    in.textWidth = 100;
    in.textHeight = 17;
    in.buttonWidths = {76};
    const XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.message, (XmbRect{16, 16, 128, 46}));
    EXPECT_EQ(l.rowTop, 46 + 5);
    EXPECT_EQ(l.rowWidth, 76);
    ASSERT_EQ(l.buttons.size(), 1u);
    EXPECT_EQ(l.buttons[0], (XmbRect{26, 51, 102, 77}));
    EXPECT_EQ(l.box, (XmbRect{0, 0, 128, 51 + 26 + 12}));
    EXPECT_EQ(l.icon, XmbRect{});
    EXPECT_EQ(l.checkBox, XmbRect{});
}

TEST(XMessageBoxLayoutTest, ModernBoxWithIconTwoLinesAndCheckBox) {
    XmbLayoutInput in;
    in.baseX = 8;
    in.baseY = 17;
    in.options = XMB_OPT_MODERN;
    in.backgroundBrush = true;
    in.hasIcon = true;
    in.iconWidth = 48;
    in.iconHeight = 48;
    in.textWidth = 300;
    in.textHeight = 34;
    in.lineCount = 2;
    in.buttonWidths = {88, 88};
    in.checkBoxWidth = 150;
    const XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.icon, (XmbRect{24, 24, 74, 74}));
    // Moved right past the icon, and up to the icon's top because it has two lines.
    EXPECT_EQ(l.message, (XmbRect{88, 24, 400, 87}));
    EXPECT_EQ(l.rowWidth, 182);
    EXPECT_EQ(l.rowTop, 87 + 14);
    // Right-aligned, as the modern layout always is.
    ASSERT_EQ(l.buttons.size(), 2u);
    EXPECT_EQ(l.buttons[0], (XmbRect{226, 101, 314, 129}));
    EXPECT_EQ(l.buttons[1], (XmbRect{320, 101, 408, 129}));
    EXPECT_EQ(l.checkBox, (XmbRect{17, 141, 17 + 171, 162}));
    EXPECT_EQ(l.box, (XmbRect{0, 0, 424, 170}));
}

TEST(XMessageBoxLayoutTest, ModernSingleLineMessageStaysBelowTheIconTop) {
    XmbLayoutInput in;
    in.baseX = 8;
    in.baseY = 17;
    in.options = XMB_OPT_MODERN;
    in.hasIcon = true;
    in.iconWidth = 32;
    in.iconHeight = 32;
    in.textWidth = 200;
    in.textHeight = 17;
    in.buttonWidths = {88};
    const XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.message, (XmbRect{16 + 56, 32, 228 + 56, 78}));
    EXPECT_EQ(l.rowTop, 78 + 14);
}

TEST(XMessageBoxLayoutTest, ClassicIconUsesTheSmallMargin) {
    XmbLayoutInput in;
    in.baseX = 8;
    in.baseY = 17;
    in.hasIcon = true;
    in.textWidth = 200;
    in.textHeight = 17;
    in.buttonWidths = {76};
    const XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.icon, (XmbRect{8, 8, 42, 42}));
    EXPECT_EQ(l.message, (XmbRect{56, 16, 268, 46}));
    EXPECT_EQ(l.box.right, 276);
    EXPECT_EQ(l.rowTop, 46 + 14);
}

TEST(XMessageBoxLayoutTest, RightAlignedRowEndsSixteenPixelsFromTheEdge) {
    XmbLayoutInput in;
    in.baseX = 8;
    in.baseY = 17;
    in.options = XMB_OPT_RIGHT_BUTTONS;
    in.textWidth = 400;
    in.textHeight = 17;
    in.buttonWidths = {76, 100, 76};
    const XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.rowWidth, 76 + 100 + 76 + 12);
    EXPECT_EQ(l.box.right, 428);
    EXPECT_EQ(l.buttons.back().right, 428 - 16);
    EXPECT_EQ(l.buttons[1].left, l.buttons[0].right + 6);
    EXPECT_EQ(l.buttons[2].left, l.buttons[1].right + 6);
}

TEST(XMessageBoxLayoutTest, ARowWiderThanTheMessageWidensTheBox) {
    XmbLayoutInput in;
    in.baseX = 8;
    in.baseY = 17;
    in.textWidth = 20;
    in.textHeight = 17;
    in.buttonWidths = {76, 76, 76, 76, 76};
    const XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.rowWidth, 5 * 76 + 24);
    EXPECT_EQ(l.box.right, l.rowWidth + 32);
    EXPECT_EQ(l.buttons[0].left, 16);
}

TEST(XMessageBoxLayoutTest, AWideCheckBoxWidensTheBoxAfterTheButtonsArePlaced) {
    XmbLayoutInput in;
    in.baseX = 8;
    in.baseY = 17;
    in.textWidth = 40;
    in.textHeight = 17;
    in.buttonWidths = {76};
    in.checkBoxWidth = 200;
    const XmbLayout l = ComputeLayout(in);
    // Box 108 wide is narrower than the check box (221): 237; the button is
    // centred in that, then the check box at 17 needs 238.
    EXPECT_EQ(l.buttons[0].left, (237 - 76) / 2);
    EXPECT_EQ(l.checkBox, (XmbRect{17, 89, 238, 110}));
    EXPECT_EQ(l.box, (XmbRect{0, 0, 238, 118}));
}

TEST(XMessageBoxLayoutTest, DialogUnitsTruncateOneWayAndRoundTheOther) {
    const XmbRect units = ToDialogUnits({17, 51, 93, 77}, 8, 17);
    EXPECT_EQ(units, (XmbRect{8, 24, 46, 36}));
    EXPECT_EQ(FromDialogUnits(units, 8, 17), (XmbRect{16, 51, 92, 77}));
    // Whole dialog units survive the round trip.
    EXPECT_EQ(FromDialogUnits(ToDialogUnits({16, 0, 216, 34}, 8, 17), 8, 17), (XmbRect{16, 0, 216, 34}));
}

}  // namespace
}  // namespace pw
