#include "ui/XMessageBoxCopyText.h"

#include "ui/XMessageBoxButtons.h"

namespace pw {

std::string XmbCopyText(const std::string& title, const std::optional<std::string>& message,
                        const std::vector<std::string>& buttonTexts) {
    static const std::string kDashes = "---------------------------\r\n";
    std::string text = kDashes + CutUtf8(title, 999) + "\r\n" + kDashes;
    if (message) text += CutUtf8(*message, 3999) + "\r\n" + kDashes;
    for (const auto& button : buttonTexts) {
        std::string plain;
        for (char c : CutUtf8(button, 198))
            if (c != '&') plain += c;
        text += plain + "   ";
    }
    text += "\r\n" + kDashes;
    return CutUtf8(text, 8191);
}

}  // namespace pw
