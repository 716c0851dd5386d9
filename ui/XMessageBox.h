#pragma once
// A message box with more button sets than the desktop's own, custom
// captions, a time-out, buttons disabled for a while, a "don't ask again"
// check box whose answer is remembered, colours, an explicit position, and
// Ctrl+C copying the box's text.

#include <cstdint>
#include <functional>
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

struct XMessageBoxParams;  // the optional parameter block

// Shows the box and returns the number of the button pressed (with the
// check-box bit and XMB_RESULT_TIMEOUT where they apply), or -1 when the box
// cannot be created. owner may be null; a null text shows an empty message
// and a null caption becomes "Error".
int XMessageBox(wxWindow* owner, const char* text, const char* caption, unsigned style,
                const XMessageBoxParams* params = nullptr);

}  // namespace pw
