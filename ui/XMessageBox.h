#pragma once
// A message box with more button sets than the desktop's own, custom
// captions, a time-out, buttons disabled for a while, a "don't ask again"
// check box whose answer is remembered, colours, an explicit position, and
// Ctrl+C copying the box's text.

#include <wx/bmpbndl.h>
#include <wx/colour.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class wxWindow;

namespace pw {

// Style bits, with the values of the classic message-box interface.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_CANCELTRYCONTINUE = 0x6;
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_DEFBUTTON1 = 0x000;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFBUTTON4 = 0x300;
inline constexpr unsigned MB_DEFBUTTON5 = 0x400;
inline constexpr unsigned MB_DEFBUTTON6 = 0x500;
inline constexpr unsigned MB_SYSTEMMODAL = 0x1000;
inline constexpr unsigned MB_HELP = 0x4000;
inline constexpr unsigned MB_SETFOREGROUND = 0x10000;
inline constexpr unsigned MB_TOPMOST = 0x40000;

inline constexpr unsigned XMB_CONTINUE_ABORT = 0x7;
inline constexpr unsigned XMB_SKIP_SKIPALL_CANCEL = 0x8;
inline constexpr unsigned XMB_IGNORE_IGNOREALL_CANCEL = 0x9;
inline constexpr unsigned XMB_ASKAGAIN_BOX = 0x01000000;
inline constexpr unsigned XMB_TELLAGAIN_BOX = 0x02000000;
inline constexpr unsigned XMB_SHOWAGAIN_BOX = 0x04000000;
inline constexpr unsigned XMB_ADD_YESTOALL = 0x08000000;
inline constexpr unsigned XMB_ADD_NOTOALL = 0x10000000;
inline constexpr unsigned XMB_NO_STRING_RESOURCES = 0x20000000;
inline constexpr unsigned XMB_SILENT = 0x40000000;
inline constexpr unsigned XMB_RESULT_TIMEOUT = 0x80000000;

// Results: the number of the button pressed.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;
inline constexpr int IDSKIP = 14;
inline constexpr int IDSKIPALL = 15;
inline constexpr int IDIGNOREALL = 16;
inline constexpr int IDYESTOALL = 19;
inline constexpr int IDNOTOALL = 20;
inline constexpr int IDCUSTOM1 = 23;
inline constexpr int IDCUSTOM2 = 24;
inline constexpr int IDCUSTOM3 = 25;
inline constexpr int IDCUSTOM4 = 26;

// Options of the parameter block.
inline constexpr unsigned XMB_OPT_RIGHT_BUTTONS = 0x1;  // buttons right-aligned
inline constexpr unsigned XMB_OPT_MODERN = 0x2;         // wider margins, light upper part
inline constexpr unsigned XMB_OPT_NARROW = 0x4;         // message at most a third of the screen wide

// The optional parameter block. A caller that passes one passes all of it;
// every field left alone keeps its default.
struct XMessageBoxParams {
    // Looks up a string by number; nullopt when there is none.
    using StringLookup = std::function<std::optional<std::string>(unsigned number)>;
    // Finds a custom icon by number (when not 0) or else by name; an invalid
    // bundle when there is none.
    using IconLookup = std::function<wxBitmapBundle(unsigned number, const std::string& name)>;
    // Called by the Report button with the message text and the report data.
    using ReportFunction = std::function<void(const std::string& text, std::uint32_t data)>;

    std::uint32_t helpContext = 0;  // handed to the help handler by the Help button
    int timeoutSeconds = 0;         // 0: none; the default button counts down, then answers
    int disabledSeconds = 0;        // how long the buttons stay disabled
    int x = 0;                      // position of the box on the screen,
    int y = 0;                      // used when either is not 0
    unsigned options = 0;           // XMB_OPT_*
    // Where string numbers (text, caption, custom buttons, report caption,
    // button captions) are looked up. Empty: the program's own strings, and
    // the program carries none.
    StringLookup strings;
    // Where custom icons come from. Empty: the desktop's icons, by name
    // (wxArtProvider ids or icon-theme names); there are no numbered icons.
    IconLookup icons;
    unsigned iconNumber = 0;        // low 16 bits used
    std::string iconName;
    unsigned customButtonsNumber = 0;  // a string number; wins when it is found
    std::string customButtons;         // up to four captions separated by "\n"
    unsigned reportCaptionNumber = 0;  // a string number; wins when it is found
    std::string reportCaption;
    std::string companyName;        // a level of the path of remembered answers
    std::string key;                // where a ticked check box keeps the answer; empty: nowhere
    int keyNumber = 0;              // appended to the key
    std::uint32_t reportData = 0;
    ReportFunction report;          // the Report button exists only when this is set
    wxColour textColour;            // not IsOk(): the system colour
    wxColour backgroundColour;      // not IsOk(): the system colour
    bool useCustomCaptions = false;
    std::array<std::string, 19> captions;  // in the order of the caption table; empty: keep
};

// A string number in place of a text or caption pointer: XMessageBox looks it
// up through the parameter block's strings.
inline const char* XmbStringNumber(unsigned number) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(number & 0xFFFF));
}

// What the Help button does: called with the box and the help context. The
// application installs it (it opens the program's home page); without one the
// Help button does nothing.
using XMessageBoxHelpHandler = std::function<void(wxWindow* box, std::uint32_t helpContext)>;
void SetXMessageBoxHelpHandler(XMessageBoxHelpHandler handler);

// Shows the box and returns the number of the button pressed (with the
// check-box bit and XMB_RESULT_TIMEOUT where they apply), or -1 when the box
// cannot be created. owner may be null; a null text shows an empty message
// and a null caption becomes "Error".
int XMessageBox(wxWindow* owner, const char* text, const char* caption, unsigned style,
                const XMessageBoxParams* params = nullptr);

}  // namespace pw
