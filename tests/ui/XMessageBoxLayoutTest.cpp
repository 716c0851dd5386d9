#include "ui/XMessageBox.h"
#include "ui/XMessageBoxLayout.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using Lines = std::vector<std::string>;

// Every character (not byte) 10 pixels wide.
int TenPerChar(const std::string& s) {
    int chars = 0;
    for (char c : s) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars * 10;
}

TEST(XMessageBoxLayoutTest, MetricsFromBaseUnits8By17) {
    EXPECT_EQ(XmbMulDiv(12, 17, 8), 26);  // 25.5 rounds up
    EXPECT_EQ(XmbMulDiv(-12, 17, 8), -26);
    EXPECT_EQ(XmbMulDiv(1, 17, 8), 2);
    const XmbMetrics classic = ComputeMetrics(8, 17, false);
    const XmbMetrics modern = ComputeMetrics(8, 17, true);
    EXPECT_EQ(std::vector<int>({classic.minButtonWidth, classic.buttonHeight, classic.timeoutExtraWidth,
                                classic.checkBoxHeight}),
              std::vector<int>({76, 26, 26, 21}));
    EXPECT_EQ(std::vector<int>({modern.minButtonWidth, modern.buttonHeight, modern.timeoutExtraWidth,
                                modern.checkBoxHeight}),
              std::vector<int>({88, 28, 26, 21}));
    EXPECT_EQ(ButtonWidth(56, classic, false), 76);
    EXPECT_EQ(ButtonWidth(57, classic, false), 77);
    EXPECT_EQ(ButtonWidth(30, classic, true), 76 + 26);
}

TEST(XMessageBoxLayoutTest, MessageWidthLimitPerOption) {
    EXPECT_EQ(MessageWidthLimit(1280, 0, false, 48), 720);
    EXPECT_EQ(MessageWidthLimit(1280, XMB_OPT_RIGHT_BUTTONS, false, 48), 720);
    EXPECT_EQ(MessageWidthLimit(1280, XMB_OPT_MODERN, false, 48), 630);
    EXPECT_EQ(MessageWidthLimit(1280, XMB_OPT_NARROW, false, 48), 426);
    EXPECT_EQ(MessageWidthLimit(1280, XMB_OPT_NARROW | XMB_OPT_MODERN, true, 48), 426 - 64);
    EXPECT_EQ(MessageWidthLimit(1280, XMB_OPT_MODERN, true, 32), 630 - 48);
}

struct WrapCase {
    const char* text;
    int limit;
    Lines expected;
};

class WrapTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapTest, Lines) {
    const XmbWrappedText w = WrapMessage(GetParam().text, GetParam().limit, TenPerChar);
    EXPECT_EQ(w.lines, GetParam().expected);
    int widest = 0;
    for (const auto& line : w.lines) widest = std::max(widest, TenPerChar(line));
    EXPECT_EQ(w.width, widest);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WrapTest,
    ::testing::Values(WrapCase{"aaa bbb ccc dd", 70, {"aaa bbb", "ccc dd"}},
                      WrapCase{"one\r\ntwo\n\nthree", 1000, {"one", "two", "", "three"}},
                      WrapCase{"a\tb\nabcdefgh\tc", 1000, {"a       b", "abcdefgh        c"}},
                      // A word wider than the limit is broken so that the box stays on the screen.
                      WrapCase{"go /a/very/long/path end", 50, {"go", "/a/ve", "ry/lo", "ng/pa", "th", "end"}},
                      WrapCase{"\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", 20, {"\xC3\xA4\xC3\xB6", "\xC3\xBC\xC3\x9F"}},
                      WrapCase{"abc", 3, {"a", "b", "c"}}, WrapCase{"", 100, {""}}));

XmbLayoutInput Input(int textWidth, int textHeight, std::vector<int> buttons) {
    XmbLayoutInput in;
    in.baseX = 8;
    in.baseY = 17;
    in.textWidth = textWidth;
    in.textHeight = textHeight;
    in.buttonWidths = std::move(buttons);
    return in;
}

TEST(XMessageBoxLayoutTest, ClassicBoxWithoutIconCentresItsButton) {
    const XmbLayout l = ComputeLayout(Input(100, 17, {76}));
    EXPECT_EQ(l.message, (XmbRect{16, 16, 128, 46}));
    EXPECT_EQ(l.buttons, (std::vector<XmbRect>{{26, 51, 102, 77}}));
    EXPECT_EQ(l.box, (XmbRect{0, 0, 128, 89}));
    EXPECT_EQ(l.icon, XmbRect{});
}

TEST(XMessageBoxLayoutTest, ClassicIconUsesTheSmallMargin) {
    XmbLayoutInput in = Input(200, 17, {76});
    in.hasIcon = true;
    const XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.icon, (XmbRect{8, 8, 42, 42}));
    EXPECT_EQ(l.message, (XmbRect{56, 16, 268, 46}));
    EXPECT_EQ(l.box.right, 276);
    EXPECT_EQ(l.rowTop, 46 + 14);
}

TEST(XMessageBoxLayoutTest, ModernBoxWithIconTwoLinesAndCheckBox) {
    XmbLayoutInput in = Input(300, 34, {88, 88});
    in.options = XMB_OPT_MODERN;
    in.backgroundBrush = true;
    in.hasIcon = true;
    in.iconWidth = in.iconHeight = 48;
    in.lineCount = 2;
    in.checkBoxWidth = 150;
    const XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.icon, (XmbRect{24, 24, 74, 74}));
    // Right of the icon, and up to its top because there are two lines.
    EXPECT_EQ(l.message, (XmbRect{88, 24, 400, 87}));
    // Right-aligned, as the modern layout always is.
    EXPECT_EQ(l.buttons, (std::vector<XmbRect>{{226, 101, 314, 129}, {320, 101, 408, 129}}));
    EXPECT_EQ(l.checkBox, (XmbRect{17, 141, 188, 162}));
    EXPECT_EQ(l.box, (XmbRect{0, 0, 424, 170}));

    in.lineCount = 1;
    in.textHeight = 17;
    EXPECT_EQ(ComputeLayout(in).message, (XmbRect{88, 32, 400, 78}));  // one line stays put
}

TEST(XMessageBoxLayoutTest, RightAlignedOrWideRows) {
    XmbLayoutInput in = Input(400, 17, {76, 100, 76});
    in.options = XMB_OPT_RIGHT_BUTTONS;
    XmbLayout l = ComputeLayout(in);
    EXPECT_EQ(l.rowWidth, 264);
    EXPECT_EQ(l.buttons[0].left, 428 - 264 - 16);
    EXPECT_EQ(l.buttons[2].left, l.buttons[1].right + 6);

    l = ComputeLayout(Input(20, 17, {76, 76, 76, 76, 76}));
    EXPECT_EQ(l.box.right, 5 * 76 + 24 + 32);
    EXPECT_EQ(l.buttons[0].left, 16);
}

TEST(XMessageBoxLayoutTest, AWideCheckBoxWidensTheBoxAfterTheButtonsArePlaced) {
    XmbLayoutInput in = Input(40, 17, {76});
    in.checkBoxWidth = 200;
    const XmbLayout l = ComputeLayout(in);
    // 108 is narrower than the check box (221): 237, the button centred in
    // that; then the check box at 17 needs 238.
    EXPECT_EQ(l.buttons[0].left, (237 - 76) / 2);
    EXPECT_EQ(l.checkBox, (XmbRect{17, 89, 238, 110}));
    EXPECT_EQ(l.box, (XmbRect{0, 0, 238, 118}));
}

TEST(XMessageBoxLayoutTest, DialogUnitsTruncateOneWayAndRoundTheOther) {
    const XmbRect units = ToDialogUnits({17, 51, 93, 77}, 8, 17);
    EXPECT_EQ(units, (XmbRect{8, 24, 46, 36}));
    EXPECT_EQ(FromDialogUnits(units, 8, 17), (XmbRect{16, 51, 92, 77}));
    EXPECT_EQ(FromDialogUnits(ToDialogUnits({16, 0, 216, 34}, 8, 17), 8, 17), (XmbRect{16, 0, 216, 34}));
}

}  // namespace
}  // namespace pw
