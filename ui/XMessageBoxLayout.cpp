#include "ui/XMessageBoxLayout.h"

#include "ui/XMessageBox.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace pw {

int XmbMulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

XmbMetrics ComputeMetrics(int baseX, int baseY, bool modern) {
    XmbMetrics m;
    m.minButtonWidth = XmbMulDiv(38, baseX, 4);
    m.buttonHeight = XmbMulDiv(12, baseY, 8);
    m.timeoutExtraWidth = XmbMulDiv(13, baseX, 4);
    m.checkBoxHeight = XmbMulDiv(10, baseY, 8);
    if (modern) {
        m.minButtonWidth += XmbMulDiv(6, baseX, 4);
        m.buttonHeight += XmbMulDiv(1, baseY, 8);
    }
    return m;
}

int ButtonWidth(int textWidth, const XmbMetrics& metrics, bool timeout) {
    return std::max(textWidth + 20, metrics.minButtonWidth) + (timeout ? metrics.timeoutExtraWidth : 0);
}

int MessageWidthLimit(int screenWidth, unsigned options, bool iconBits, int iconWidth) {
    int limit = (options & XMB_OPT_MODERN) ? screenWidth / 2 - 10 : screenWidth / 2 + 80;
    if (options & XMB_OPT_NARROW) limit = screenWidth / 3;
    if (iconBits) limit -= iconWidth + 16;
    return limit;
}

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string ExpandTabs(const std::string& line) {
    std::string out;
    int column = 0;
    for (char c : line) {
        if (c == '\t') {
            do {
                out += ' ';
                ++column;
            } while (column % 8 != 0);
        } else {
            out += c;
            if (!IsContinuationByte(c)) ++column;
        }
    }
    return out;
}

// How many characters of word, from character `from` on, fit in maxWidth:
// at least one, all that are left when they all fit. ends holds the byte
// offset after each character. The search gallops from `hint` (what fitted
// on the line before), so that a very long word is neither measured whole nor
// measured many times per line.
std::size_t FittingChars(const std::string& word, const std::vector<std::size_t>& ends, std::size_t from,
                         int maxWidth, const XmbTextMeasure& measure, std::size_t hint) {
    const std::size_t count = ends.size() - from;
    const std::size_t offset = from ? ends[from - 1] : 0;
    auto fits = [&](std::size_t chars) {
        return measure(word.substr(offset, ends[from + chars - 1] - offset)) <= maxWidth;
    };
    std::size_t good = 0;         // this many characters fit
    std::size_t bad = count + 1;  // this many do not
    const std::size_t start = std::clamp<std::size_t>(hint, 1, count);
    if (fits(start)) {
        good = start;
        for (std::size_t step = 1; good < count && bad == count + 1; step *= 2) {
            const std::size_t n = std::min(good + step, count);
            if (fits(n))
                good = n;
            else
                bad = n;
        }
        if (good == count) return count;
    } else {
        bad = start;
        for (std::size_t step = 1; good == 0 && bad > 1; step *= 2) {
            const std::size_t n = bad > step ? bad - step : 1;
            if (fits(n))
                good = n;
            else
                bad = n;
        }
    }
    while (bad - good > 1) {
        const std::size_t mid = good + (bad - good) / 2;
        if (fits(mid))
            good = mid;
        else
            bad = mid;
    }
    return std::max<std::size_t>(good, 1);
}

void WrapParagraph(const std::string& paragraph, int maxWidth, const XmbTextMeasure& measure,
                   std::vector<std::string>& lines) {
    std::string line;
    std::size_t start = 0;
    while (start <= paragraph.size()) {
        std::size_t end = paragraph.find(' ', start);
        if (end == std::string::npos) end = paragraph.size();
        std::string word = paragraph.substr(start, end - start);
        start = end + 1;

        const std::string candidate = line.empty() ? word : line + " " + word;
        if (measure(candidate) <= maxWidth) {
            line = candidate;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        std::vector<std::size_t> ends;  // byte offset after each character of the word
        for (std::size_t i = 1; i <= word.size(); ++i)
            if (i == word.size() || !IsContinuationByte(word[i])) ends.push_back(i);
        std::size_t from = 0;  // characters already given to lines
        std::size_t hint = 1;
        while (from < ends.size()) {
            const std::size_t chars = FittingChars(word, ends, from, maxWidth, measure, hint);
            if (from + chars == ends.size()) break;
            const std::size_t offset = from ? ends[from - 1] : 0;
            lines.push_back(word.substr(offset, ends[from + chars - 1] - offset));
            from += chars;
            hint = chars;
        }
        line = word.substr(from ? ends[from - 1] : 0);
    }
    lines.push_back(line);
}

}  // namespace

XmbWrappedText WrapMessage(const std::string& text, int maxWidth, const XmbTextMeasure& measure) {
    XmbWrappedText wrapped;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
        WrapParagraph(ExpandTabs(paragraph), maxWidth, measure, wrapped.lines);
        start = end + 1;
    }
    for (const auto& line : wrapped.lines) wrapped.width = std::max(wrapped.width, measure(line));
    return wrapped;
}

XmbLayout ComputeLayout(const XmbLayoutInput& in) {
    XmbLayout out;
    const bool modern = (in.options & XMB_OPT_MODERN) != 0;
    const bool rightButtons = modern || (in.options & XMB_OPT_RIGHT_BUTTONS);
    out.metrics = ComputeMetrics(in.baseX, in.baseY, modern);
    const XmbMetrics& m = out.metrics;

    const int tw = in.textWidth;
    const int th = in.textHeight;
    out.message = {16, modern ? 32 : 16, tw + 28, modern ? th + 61 : th + 29};
    out.box = {0, 0, modern ? tw + 44 : tw + 28, modern ? th + 45 : th + 29};
    if (out.box.height() < 70) out.box.bottom = 70;

    if (in.hasIcon) {
        const int margin = modern ? 24 : 8;
        out.message.left += margin + in.iconWidth;
        out.message.right += margin + in.iconWidth;
        out.box.right = out.message.right + (modern ? 24 : 8);
        out.icon = {margin, margin, margin + in.iconWidth + 2, margin + in.iconHeight + 2};
        if (modern && in.lineCount > 1) {
            const int height = out.message.height();
            out.message.top = out.icon.top;
            out.message.bottom = out.message.top + height;
        }
    }

    const int count = static_cast<int>(in.buttonWidths.size());
    int rowWidth = count > 0 ? 6 * (count - 1) : 0;
    for (int w : in.buttonWidths) rowWidth += w;
    out.rowWidth = rowWidth;

    const int upperBottom = std::max(out.message.bottom, in.hasIcon ? out.icon.bottom : 0);
    const int y = upperBottom + ((in.hasIcon || in.backgroundBrush) ? 14 : 5);
    out.rowTop = y;

    const int cw = in.checkBoxWidth >= 0 ? in.checkBoxWidth + m.checkBoxHeight : -1;
    out.box.bottom = y + m.buttonHeight + 12;
    out.box.right = std::max(out.box.right, rowWidth + 32);
    if (cw >= 0 && out.box.width() < cw) out.box.right = cw + 16;

    int x = rightButtons ? out.box.right - rowWidth - 16 : (out.box.width() - rowWidth) / 2;
    for (int w : in.buttonWidths) {
        out.buttons.push_back({x, y, x + w, y + m.buttonHeight});
        x += w + 6;
    }

    if (cw >= 0) {
        const int top = y + m.buttonHeight + 12;
        out.checkBox = {17, top, 17 + cw, top + m.checkBoxHeight};
        out.box.bottom = out.checkBox.bottom + 8;
        out.box.right = std::max(out.box.right, 17 + cw);
    }
    return out;
}

XmbRect ToDialogUnits(const XmbRect& pixels, int baseX, int baseY) {
    const int x = pixels.left * 4 / baseX;
    const int y = pixels.top * 8 / baseY;
    return {x, y, x + pixels.width() * 4 / baseX, y + pixels.height() * 8 / baseY};
}

XmbRect FromDialogUnits(const XmbRect& units, int baseX, int baseY) {
    const int x = XmbMulDiv(units.left, baseX, 4);
    const int y = XmbMulDiv(units.top, baseY, 8);
    return {x, y, x + XmbMulDiv(units.width(), baseX, 4), y + XmbMulDiv(units.height(), baseY, 8)};
}

}  // namespace pw
