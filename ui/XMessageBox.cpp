#include "ui/XMessageBox.h"

#include "ui/XMessageBoxAnswers.h"
#include "ui/XMessageBoxButtons.h"
#include "ui/XMessageBoxDialog.h"

#include <wx/msgdlg.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include <cstdint>

namespace pw {

namespace {

constexpr std::size_t kMaxTextBytes = 65535;
constexpr unsigned kCheckBoxBits = XMB_ASKAGAIN_BOX | XMB_TELLAGAIN_BOX | XMB_SHOWAGAIN_BOX;

// A text argument is either a string or, at or below 0xFFFF, a string number.
std::string ResolveText(const char* text, const XMessageBoxParams::StringLookup& strings) {
    if (!text) return {};
    const auto number = reinterpret_cast<std::uintptr_t>(text);
    if (number <= 0xFFFF) {
        if (!strings) return {};
        return CutUtf8(ValidUtf8(strings(static_cast<unsigned>(number)).value_or(std::string())), kMaxTextBytes);
    }
    return CutUtf8(ValidUtf8(text), kMaxTextBytes);
}

// The box a hand and a system-modal style are handed to: the desktop's own
// message dialog, which needs nothing of ours to show an urgent error.
int ShowDesktopMessageBox(wxWindow* owner, const std::string& text, const std::string& caption, unsigned style) {
    long flags = wxSTAY_ON_TOP | wxCENTRE;
    switch (style & 0xF0) {
    case 0x00: flags |= wxICON_NONE; break;
    case MB_ICONHAND: flags |= wxICON_ERROR; break;
    case MB_ICONQUESTION: flags |= wxICON_QUESTION; break;
    case MB_ICONASTERISK: flags |= wxICON_INFORMATION; break;
    default: flags |= wxICON_WARNING; break;
    }
    // The desktop dialog offers up to three buttons: OK, Cancel, Yes, No. The
    // sets with other answers reuse them with their own captions and map the
    // answers back.
    struct Mapping {
        long buttons;
        int yes, no, ok, cancel;
        const char *yesLabel, *noLabel, *okLabel, *cancelLabel;
    };
    Mapping m{wxOK, 0, 0, IDOK, 0, nullptr, nullptr, nullptr, nullptr};
    switch (style & 0xF) {
    case MB_OKCANCEL: m = {wxOK | wxCANCEL, 0, 0, IDOK, IDCANCEL, nullptr, nullptr, nullptr, nullptr}; break;
    case MB_ABORTRETRYIGNORE:
        m = {wxYES_NO | wxCANCEL, IDABORT, IDRETRY, 0, IDIGNORE, "&Abort", "&Retry", nullptr, "&Ignore"};
        break;
    case MB_YESNOCANCEL: m = {wxYES_NO | wxCANCEL, IDYES, IDNO, 0, IDCANCEL, nullptr, nullptr, nullptr, nullptr}; break;
    case MB_YESNO: m = {wxYES_NO, IDYES, IDNO, 0, 0, nullptr, nullptr, nullptr, nullptr}; break;
    case MB_RETRYCANCEL: m = {wxOK | wxCANCEL, 0, 0, IDRETRY, IDCANCEL, nullptr, nullptr, "&Retry", nullptr}; break;
    case MB_CANCELTRYCONTINUE:
        m = {wxYES_NO | wxCANCEL, IDTRYAGAIN, IDCONTINUE, 0, IDCANCEL, "&Try Again", "&Continue", nullptr, nullptr};
        break;
    case XMB_CONTINUE_ABORT: m = {wxYES_NO, IDCONTINUE, IDABORT, 0, 0, "&Continue", "&Abort", nullptr, nullptr}; break;
    case XMB_SKIP_SKIPALL_CANCEL:
        m = {wxYES_NO | wxCANCEL, IDSKIP, IDSKIPALL, 0, IDCANCEL, "&Skip", "S&kip All", nullptr, nullptr};
        break;
    case XMB_IGNORE_IGNOREALL_CANCEL:
        m = {wxYES_NO | wxCANCEL, IDIGNORE, IDIGNOREALL, 0, IDCANCEL, "&Ignore", "I&gnore All", nullptr, nullptr};
        break;
    default: break;
    }
    flags |= m.buttons;
    const int count = ((m.buttons & wxYES_NO) ? 2 : 1) + ((m.buttons & wxCANCEL) ? 1 : 0);
    const int defaultButton = DefaultButtonPosition(style, count);
    if (defaultButton == 2 && (m.buttons & wxYES_NO)) flags |= wxNO_DEFAULT;
    if (defaultButton == count && count > 1 && (m.buttons & wxCANCEL)) flags |= wxCANCEL_DEFAULT;

    wxMessageDialog dialog(owner, wxString::FromUTF8(text), wxString::FromUTF8(caption), flags);
    if (m.yesLabel) {
        if (m.buttons & wxCANCEL)
            dialog.SetYesNoCancelLabels(m.yesLabel, m.noLabel, m.cancelLabel ? m.cancelLabel : "Cancel");
        else
            dialog.SetYesNoLabels(m.yesLabel, m.noLabel);
    } else if (m.okLabel) {
        dialog.SetOKCancelLabels(m.okLabel, "Cancel");
    }
    switch (dialog.ShowModal()) {
    case wxID_YES: return m.yes;
    case wxID_NO: return m.no;
    case wxID_OK: return m.ok;
    case wxID_CANCEL: return m.cancel ? m.cancel : (m.ok ? m.ok : IDCANCEL);
    default: return -1;
    }
}

}  // namespace

int XMessageBox(wxWindow* owner, const char* text, const char* caption, unsigned style,
                const XMessageBoxParams* params) {
    if (!owner) {
        if (wxWindow* active = wxGetActiveWindow()) owner = wxGetTopLevelParent(active);
    }

    XmbBoxContent content;
    if (params) content.params = *params;
    XMessageBoxParams& p = content.params;

    if ((style & MB_ICONHAND) && (style & MB_SYSTEMMODAL)) {
        const XMessageBoxParams none;
        return ShowDesktopMessageBox(owner, ResolveText(text, none.strings),
                                     caption ? ResolveText(caption, none.strings) : "Error", style);
    }

    content.text = ResolveText(text, p.strings);
    content.caption = caption ? ResolveText(caption, p.strings) : "Error";
    content.style = style;

    const unsigned checkBit = CheckBoxBit(style);
    if (checkBit && !p.key.empty()) {
        const std::uint32_t stored = ReadXmbAnswer(p.companyName, p.key, p.keyNumber);
        if (stored & kCheckBoxBits) return static_cast<int>(stored);
    }

    if (p.timeoutSeconds >= 1000) p.timeoutSeconds = 10;
    if (p.disabledSeconds >= 1000) p.disabledSeconds = 10;
    // Every desktop this program runs on belongs to the generation the
    // modern layout was made for, so it is always chosen.
    p.options |= XMB_OPT_MODERN;

    const std::string company = p.companyName;
    const std::string key = p.key;
    const int keyNumber = p.keyNumber;

    XMessageBoxDialog box(owner, std::move(content));
    if (!box.IsBuilt()) return -1;
    if (!(style & XMB_SILENT)) wxBell();
    const int result = box.ShowModal();

    if (result != -1 && (static_cast<unsigned>(result) & checkBit) && !key.empty())
        WriteXmbAnswer(company, key, keyNumber, static_cast<std::uint32_t>(result));
    return result;
}

}  // namespace pw
