#include "ui/XMessageBoxCopyText.h"

#include "ui/XMessageBoxButtons.h"

namespace pw {

std::string XmbCopyText(const std::string& title, const std::optional<std::string>& message,
                        const std::vector<std::string>& buttonTexts) {
    const std::string eol = kXmbCopyLineEnd;
    const std::string dashes = "---------------------------" + eol;
    std::string text = dashes + CutUtf8(title, 999) + eol + dashes;
    if (message) text += CutUtf8(*message, 3999) + eol + dashes;
    for (const auto& button : buttonTexts) {
        std::string plain;
        for (char c : CutUtf8(button, 198))
            if (c != '&') plain += c;
        text += plain + "   ";
    }
    text += eol + dashes;
    return CutUtf8(text, 8191);
}

}  // namespace pw
