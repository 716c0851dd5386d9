#include "ui/XMessageBoxButtons.h"

#include "ui/XMessageBox.h"

namespace pw {

const std::array<XmbCaptionEntry, kCaptionCount>& XmbCaptionTable() {
    static const std::array<XmbCaptionEntry, kCaptionCount> table{{
        {9005, "&Abort"},
        {9002, "Cancel"},
        {9009, "&Continue"},
        {9010, "Don't ask me again"},
        {9011, "Don't tell me again"},
        {9012, "Don't show again"},
        {9006, "&Help"},
        {9003, "&Ignore"},
        {9017, "I&gnore All"},
        {9008, "&No"},
        {9014, "N&o to All"},
        {9001, "OK"},
        {9016, "Re&port"},
        {9004, "&Retry"},
        {9018, "&Skip"},
        {9019, "S&kip All"},
        {9015, "&Try Again"},
        {9007, "&Yes"},
        {9013, "Y&es to All"},
    }};
    return table;
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes so that no character is split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

namespace {

bool IsValidUtf8(const std::string& text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t extra;
        unsigned code, minimum;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            extra = 1, minimum = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, minimum = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, minimum = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (extra >= n - i) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace

std::string ValidUtf8(const std::string& text) {
    if (IsValidUtf8(text)) return text;
    std::string latin1;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            latin1 += ch;
        } else {
            latin1 += static_cast<char>(0xC0 | (c >> 6));
            latin1 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return latin1;
}

std::array<std::string, kCaptionCount> ResolveCaptions(bool useCustom,
                                                       const std::array<std::string, kCaptionCount>& custom,
                                                       bool noStringResources,
                                                       const XmbStringLookup& strings,
                                                       const std::optional<std::string>& reportCaption) {
    std::array<std::string, kCaptionCount> captions;
    const auto& table = XmbCaptionTable();
    for (int i = 0; i < kCaptionCount; ++i) {
        captions[i] = table[i].defaultText;
        if (useCustom) {
            if (!custom[i].empty()) captions[i] = custom[i];
        } else if (!noStringResources && strings) {
            if (auto loaded = strings(table[i].stringNumber)) captions[i] = *loaded;
        }
        captions[i] = CutUtf8(captions[i], kMaxCaptionBytes);
    }
    if (reportCaption) captions[kCapReport] = CutUtf8(*reportCaption, kMaxCaptionBytes);
    return captions;
}

std::vector<std::string> SplitCustomButtons(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size() && parts.size() < 4) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::vector<XmbButton> RowButtons(unsigned style, const std::vector<std::string>& customButtons,
                                  bool withReport) {
    std::vector<XmbButton> row;
    auto add = [&row](int caption, int id) { row.push_back({caption, id, {}}); };
    const bool yesToAll = (style & XMB_ADD_YESTOALL) != 0;
    const bool noToAll = (style & XMB_ADD_NOTOALL) != 0;

    if (!customButtons.empty()) {
        int id = IDCUSTOM1;
        for (const auto& text : customButtons) {
            if (id > IDCUSTOM4) break;
            row.push_back({-1, id++, text});
        }
    } else {
        switch (style & 0xF) {
        case MB_OKCANCEL:
            add(kCapOK, IDOK);
            add(kCapCancel, IDCANCEL);
            break;
        case MB_ABORTRETRYIGNORE:
            add(kCapAbort, IDABORT);
            add(kCapRetry, IDRETRY);
            add(kCapIgnore, IDIGNORE);
            break;
        case MB_YESNOCANCEL:
        case MB_YESNO:
            add(kCapYes, IDYES);
            if (yesToAll) add(kCapYesToAll, IDYESTOALL);
            add(kCapNo, IDNO);
            if (noToAll) add(kCapNoToAll, IDNOTOALL);
            if ((style & 0xF) == MB_YESNOCANCEL) add(kCapCancel, IDCANCEL);
            break;
        case MB_RETRYCANCEL:
            add(kCapRetry, IDRETRY);
            add(kCapCancel, IDCANCEL);
            break;
        case MB_CANCELTRYCONTINUE:
            add(kCapCancel, IDCANCEL);
            add(kCapTryAgain, IDTRYAGAIN);
            add(kCapContinue, IDCONTINUE);
            break;
        case XMB_CONTINUE_ABORT:
            add(kCapContinue, IDCONTINUE);
            add(kCapAbort, IDABORT);
            break;
        case XMB_SKIP_SKIPALL_CANCEL:
            add(kCapSkip, IDSKIP);
            add(kCapSkipAll, IDSKIPALL);
            add(kCapCancel, IDCANCEL);
            break;
        case XMB_IGNORE_IGNOREALL_CANCEL:
            add(kCapIgnore, IDIGNORE);
            add(kCapIgnoreAll, IDIGNOREALL);
            add(kCapCancel, IDCANCEL);
            break;
        default:  // MB_OK and the unused sets 10 to 15
            add(kCapOK, IDOK);
            break;
        }
    }
    if (style & MB_HELP) add(kCapHelp, kHelpButtonId);
    if (withReport) add(kCapReport, kReportButtonId);
    return row;
}

int DefaultButtonPosition(unsigned style, int count) {
    int position = 1;
    switch (style & 0xF00) {
    case MB_DEFBUTTON2: position = 2; break;
    case MB_DEFBUTTON3: position = 3; break;
    case MB_DEFBUTTON4: position = 4; break;
    case MB_DEFBUTTON5: position = 5; break;
    case MB_DEFBUTTON6: position = 6; break;
    default: break;
    }
    return position > count ? 1 : position;
}

std::optional<int> EscapeResult(unsigned style, bool customButtons) {
    if (customButtons) return std::nullopt;
    switch (style & 0xF) {
    case MB_OK:
        return IDOK;
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
    case MB_CANCELTRYCONTINUE:
    case XMB_SKIP_SKIPALL_CANCEL:
    case XMB_IGNORE_IGNOREALL_CANCEL:
        return IDCANCEL;
    default:
        return std::nullopt;
    }
}

unsigned CheckBoxBit(unsigned style) {
    for (unsigned bit : {XMB_ASKAGAIN_BOX, XMB_TELLAGAIN_BOX, XMB_SHOWAGAIN_BOX})
        if (style & bit) return bit;
    return 0;
}

int CheckBoxCaption(unsigned style) {
    switch (CheckBoxBit(style)) {
    case XMB_ASKAGAIN_BOX: return kCapDontAskAgain;
    case XMB_TELLAGAIN_BOX: return kCapDontTellAgain;
    case XMB_SHOWAGAIN_BOX: return kCapDontShowAgain;
    default: return -1;
    }
}

}  // namespace pw
