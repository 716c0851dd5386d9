#pragma once
// The window of XMessageBox: a dialog laid out by XMessageBoxLayout, with the
// countdowns, the check box, Escape and close-box rules and Ctrl+C. XMessageBox
// builds one per call and runs it with ShowModal, so that modal-dialog hooks
// (and wxTEST_DIALOG) see it.

#include "ui/SecondTicker.h"
#include "ui/XMessageBox.h"
#include "ui/XMessageBoxButtons.h"
#include "ui/XMessageBoxLayout.h"

#include <wx/dialog.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class wxButton;
class wxCheckBox;
class wxStaticBitmap;
class wxStaticText;

namespace pw {

// What one box shows, with its texts already looked up and the parameter
// block as the box uses it (limits applied, options complete).
struct XmbBoxContent {
    std::string text;
    std::string caption;
    unsigned style = 0;
    XMessageBoxParams params;
};

class XMessageBoxDialog : public wxDialog {
public:
    // Builds the box hidden; IsBuilt() tells whether the window exists.
    XMessageBoxDialog(wxWindow* owner, XmbBoxContent content);
    ~XMessageBoxDialog() override;

    bool IsBuilt() const { return built_; }
    // What the box shows: its text, caption and style.
    const XmbBoxContent& Content() const { return content_; }

    // Starts the countdowns, shows the box and runs it until a button (or
    // Escape, the close box, the time-out, or the end of the application's
    // main loop) ends it. Returns the result; -1 when the main loop ended it.
    int ShowModal() override;

    // Does what the command of this number does: a button's number, IDCANCEL
    // for Escape and the close box, the default button's number with
    // XMB_RESULT_TIMEOUT for the time-out. The box ends unless the command
    // leaves it open (Help, Report, the check box, an unanswered IDCANCEL).
    void Command(int command);

    bool IsDone() const { return done_; }
    int Result() const { return result_; }

    // The number of the default button, and what Escape answers (nullopt:
    // Escape and the close box do nothing).
    int DefaultButtonId() const { return defaultId_; }
    std::optional<int> EscapeAnswer() const { return escape_; }
    bool ButtonsDisabled() const { return disabledLeft_ >= 0; }
    bool CountingDown() const;

    // The box in pixels as laid out, before the rounding through dialog units.
    const XmbLayout& Layout() const { return layout_; }
    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }
    const std::vector<std::string>& MessageLines() const { return lines_; }

    // The text Ctrl+C copies, and the copy itself (false when the clipboard
    // cannot be opened).
    std::string CopyText() const;
    bool CopyToClipboard() const;

private:
    void Build();
    wxBitmapBundle LoadIcon() const;
    void PlaceWindow(wxWindow* owner);

    void OnButton(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnClick(wxMouseEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnShow(wxShowEvent& event);
    void OnMove(wxMoveEvent& event);

    void OnCountdownTick();
    void OnDisabledTick();
    void StopCountdown();
    void SetButtonsEnabled(bool enable);
    void Finish(int result);

    XmbBoxContent content_;
    bool built_ = false;
    int baseX_ = 8;
    int baseY_ = 16;
    XmbLayout layout_;
    std::vector<std::string> lines_;
    std::vector<XmbButton> row_;
    std::array<std::string, kCaptionCount> captions_;
    std::optional<int> escape_;
    int defaultId_ = IDOK;
    unsigned checkBit_ = 0;
    bool brush_ = false;
    wxColour background_;
    int messageBottom_ = 0;  // of the message control in pixels: where the upper part ends

    wxStaticBitmap* icon_ = nullptr;
    wxStaticText* message_ = nullptr;
    wxCheckBox* checkBox_ = nullptr;

    std::unique_ptr<SecondTicker> countdown_;
    std::unique_ptr<SecondTicker> disabled_;
    int countdownLeft_ = 0;
    int disabledLeft_ = -1;  // -1: the buttons are usable
    std::optional<wxString> savedDefaultLabel_;

    int result_ = -1;
    bool done_ = false;
    // The frame is the window manager's: the box learns of a drag of its
    // title bar only as a move away from where it placed itself on the
    // screen.
    wxWindow* owner_ = nullptr;
    bool placedOnScreen_ = false;
    wxPoint placedAt_;
};

}  // namespace pw
