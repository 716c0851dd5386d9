#pragma once
// Where everything of a message box goes, in pixels, from the dialog base
// units, the screen width and the measured texts. No window is needed: the
// dialog measures, these functions place.

#include <functional>
#include <string>
#include <vector>

namespace pw {

struct XmbRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const XmbRect&) const = default;
};

// a * b / c rounded to the nearest integer, halves away from zero.
int XmbMulDiv(int a, int b, int c);

struct XmbMetrics {
    int minButtonWidth = 0;
    int buttonHeight = 0;
    int timeoutExtraWidth = 0;
    int checkBoxHeight = 0;
};

// Button and check-box metrics from the dialog base units; the modern layout
// has wider and taller buttons.
XmbMetrics ComputeMetrics(int baseX, int baseY, bool modern);

// The width of a button (or of a check-box caption) whose text is textWidth
// pixels wide; a box with a time-out leaves room for the countdown.
int ButtonWidth(int textWidth, const XmbMetrics& metrics, bool timeout);

// The widest a message line may be on a screen screenWidth pixels wide.
// iconBits tells whether the style asks for an icon.
int MessageWidthLimit(int screenWidth, unsigned options, bool iconBits, int iconWidth);

// Measures the width of one line of text in pixels.
using XmbTextMeasure = std::function<int(const std::string&)>;

struct XmbWrappedText {
    std::vector<std::string> lines;
    int width = 0;  // of the widest line
};

// Breaks the message into lines no wider than maxWidth: at the line breaks of
// the text, then between words; tabs become blanks up to the next multiple of
// eight characters. A word wider than maxWidth is broken between characters
// so that the box stays on the screen. An empty text is one empty line.
XmbWrappedText WrapMessage(const std::string& text, int maxWidth, const XmbTextMeasure& measure);

struct XmbLayoutInput {
    int baseX = 8;
    int baseY = 16;
    unsigned options = 0;          // XMB_OPT_* as the box uses them
    bool backgroundBrush = false;  // a background colour is painted
    bool hasIcon = false;
    int iconWidth = 32;
    int iconHeight = 32;
    int textWidth = 0;             // of the wrapped message
    int textHeight = 0;
    int lineCount = 1;
    std::vector<int> buttonWidths; // the row, left to right
    int checkBoxWidth = -1;        // ButtonWidth of the check-box caption, -1 without one
};

struct XmbLayout {
    XmbMetrics metrics;
    XmbRect box;                   // the client area
    XmbRect icon;                  // empty without an icon
    XmbRect message;
    std::vector<XmbRect> buttons;
    XmbRect checkBox;              // empty without a check box
    int rowWidth = 0;
    int rowTop = 0;
};

// Places the box's controls in pixels.
XmbLayout ComputeLayout(const XmbLayoutInput& in);

// A pixel rectangle in dialog units (truncating), and back (rounding), the
// way a dialog template is written and then shown.
XmbRect ToDialogUnits(const XmbRect& pixels, int baseX, int baseY);
XmbRect FromDialogUnits(const XmbRect& units, int baseX, int baseY);

}  // namespace pw
