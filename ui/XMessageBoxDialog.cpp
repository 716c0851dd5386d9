#include "ui/XMessageBoxDialog.h"

#include "ui/AccessibleName.h"

#include <wx/weakref.h>

#include <algorithm>
#include <cstdlib>

#include "ui/XMessageBoxCopyText.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <utility>

namespace pw {

namespace {

XMessageBoxHelpHandler& HelpHandler() {
    static XMessageBoxHelpHandler handler;
    return handler;
}

wxString ToWx(const std::string& text) { return wxString::FromUTF8(ValidUtf8(text)); }

// The application asks its main loop to end with ScheduleExit, and a main
// loop keeps that request to itself while a modal loop runs above it. The
// flag is protected, so it is read through a member pointer named in a
// derived class.
struct LoopExitProbe : wxEventLoopBase {
    static bool ExitRequested(const wxEventLoopBase& loop) { return loop.*(&LoopExitProbe::m_shouldExit); }
};

bool MainLoopExitRequested() {
    if (!wxTheApp) return false;
    const wxEventLoopBase* main = wxTheApp->GetMainLoop();
    return main && LoopExitProbe::ExitRequested(*main);
}

wxRect ToWxRect(const XmbRect& r) { return {r.left, r.top, r.width(), r.height()}; }

}  // namespace

void SetXMessageBoxHelpHandler(XMessageBoxHelpHandler handler) { HelpHandler() = std::move(handler); }

XMessageBoxDialog::XMessageBoxDialog(wxWindow* owner, XmbBoxContent content) : content_(std::move(content)) {
    const unsigned style = content_.style;
    const XMessageBoxParams& p = content_.params;
    const bool modern = (p.options & XMB_OPT_MODERN) != 0;

    if (p.backgroundColour.IsOk())
        background_ = p.backgroundColour;
    else if (modern)
        background_ = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW);
    brush_ = background_.IsOk();

    long frameStyle = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
    if (style & (MB_TOPMOST | MB_SYSTEMMODAL)) frameStyle |= wxSTAY_ON_TOP;
    // Without an owner the box belongs to nobody and is centred on the screen.
    if (!owner) frameStyle |= wxDIALOG_NO_PARENT;
    if (brush_) SetBackgroundStyle(wxBG_STYLE_PAINT);

    built_ = Create(owner, wxID_ANY, ToWx(content_.caption), wxDefaultPosition, wxDefaultSize, frameStyle);
    if (!built_) return;
    SetEscapeId(wxID_NONE);  // Escape is answered by OnCharHook alone
    PresentAsDialogToScreenReaders(this);
    Build();
    PlaceWindow(owner);

    Bind(wxEVT_BUTTON, &XMessageBoxDialog::OnButton, this);
    Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Command(kCheckBoxId); });
    Bind(wxEVT_CHAR_HOOK, &XMessageBoxDialog::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &XMessageBoxDialog::OnClose, this);
    Bind(wxEVT_LEFT_DOWN, &XMessageBoxDialog::OnClick, this);
    Bind(wxEVT_IDLE, &XMessageBoxDialog::OnIdle, this);
    Bind(wxEVT_SHOW, &XMessageBoxDialog::OnShow, this);
    Bind(wxEVT_MOVE, &XMessageBoxDialog::OnMove, this);
    if (brush_) Bind(wxEVT_PAINT, &XMessageBoxDialog::OnPaint, this);
}

XMessageBoxDialog::~XMessageBoxDialog() {
    if (countdown_) countdown_->Stop();
    if (disabled_) disabled_->Stop();
}

wxBitmapBundle XMessageBoxDialog::LoadIcon() const {
    const XMessageBoxParams& p = content_.params;
    const unsigned number = p.iconNumber & 0xFFFF;
    if (number != 0 || !p.iconName.empty()) {
        wxBitmapBundle custom;
        if (p.icons)
            custom = p.icons(number, p.iconName);
        else if (!p.iconName.empty())
            custom = wxArtProvider::GetBitmapBundle(ToWx(p.iconName), wxART_MESSAGE_BOX);
        if (custom.IsOk()) return custom;
    }
    switch (content_.style & 0xF0) {
    case 0x00: return {};
    case MB_ICONHAND: return wxArtProvider::GetBitmapBundle(wxART_ERROR, wxART_MESSAGE_BOX);
    case MB_ICONQUESTION: return wxArtProvider::GetBitmapBundle(wxART_QUESTION, wxART_MESSAGE_BOX);
    case MB_ICONASTERISK: return wxArtProvider::GetBitmapBundle(wxART_INFORMATION, wxART_MESSAGE_BOX);
    default: return wxArtProvider::GetBitmapBundle(wxART_WARNING, wxART_MESSAGE_BOX);
    }
}

void XMessageBoxDialog::Build() {
    const unsigned style = content_.style;
    const XMessageBoxParams& p = content_.params;
    const bool modern = (p.options & XMB_OPT_MODERN) != 0;
    const bool timeout = p.timeoutSeconds > 0;

    const wxSize base = ConvertDialogToPixels(wxSize(4, 8));
    baseX_ = std::max(1, base.x);
    baseY_ = std::max(1, base.y);

    std::optional<std::string> reportCaption;
    if (p.reportCaptionNumber != 0 && p.strings) reportCaption = p.strings(p.reportCaptionNumber);
    if (!reportCaption && !p.reportCaption.empty()) reportCaption = p.reportCaption;
    captions_ = ResolveCaptions(p.useCustomCaptions, p.captions, (style & XMB_NO_STRING_RESOURCES) != 0,
                                p.strings, reportCaption);
    for (auto& caption : captions_) caption = ValidUtf8(caption);

    std::string customText = p.customButtons;
    if (p.customButtonsNumber != 0 && p.strings) {
        if (auto loaded = p.strings(p.customButtonsNumber)) customText = *loaded;
    }
    const std::vector<std::string> custom = SplitCustomButtons(ValidUtf8(customText));
    row_ = RowButtons(style, custom, static_cast<bool>(p.report));
    escape_ = EscapeResult(style, !custom.empty());
    checkBit_ = CheckBoxBit(style);
    const int checkCaption = CheckBoxCaption(style);

    auto measure = [this](const std::string& text) { return GetTextExtent(ToWx(text)).x; };
    auto labelOf = [this](const XmbButton& b) { return b.caption < 0 ? b.customText : captions_[b.caption]; };

    XmbLayoutInput in;
    in.baseX = baseX_;
    in.baseY = baseY_;
    in.options = p.options;
    in.backgroundBrush = brush_;
    const XmbMetrics metrics = ComputeMetrics(baseX_, baseY_, modern);
    for (const auto& button : row_) in.buttonWidths.push_back(ButtonWidth(measure(labelOf(button)), metrics, timeout));
    if (checkCaption >= 0) in.checkBoxWidth = ButtonWidth(measure(captions_[checkCaption]), metrics, timeout);

    const wxBitmapBundle icon = LoadIcon();
    const wxSize iconSize = wxArtProvider::GetSizeHint(wxART_MESSAGE_BOX, this);
    in.hasIcon = icon.IsOk();
    in.iconWidth = iconSize.x;
    in.iconHeight = iconSize.y;

    wxWindow* owner = GetParent();
    int display = owner ? wxDisplay::GetFromWindow(owner) : wxNOT_FOUND;
    if (display == wxNOT_FOUND) display = 0;
    const int screenWidth = wxDisplay(static_cast<unsigned>(display)).GetGeometry().GetWidth();
    const int limit = MessageWidthLimit(screenWidth, p.options, (style & 0xF0) != 0, iconSize.x);

    const XmbWrappedText wrapped = WrapMessage(content_.text, limit, measure);
    lines_ = wrapped.lines;
    in.textWidth = wrapped.width;
    in.lineCount = static_cast<int>(lines_.size());
    in.textHeight = in.lineCount * GetTextExtent("My").y;
    layout_ = ComputeLayout(in);

    // Controls go through dialog units and back, as a dialog template would
    // place them.
    auto place = [this](const XmbRect& r) {
        return ToWxRect(FromDialogUnits(ToDialogUnits(r, baseX_, baseY_), baseX_, baseY_));
    };

    if (in.hasIcon) {
        const wxRect r = place(layout_.icon);
        icon_ = new wxStaticBitmap(this, kIconControlId, icon.GetBitmap(iconSize), r.GetPosition(), r.GetSize());
        icon_->Bind(wxEVT_LEFT_DOWN, &XMessageBoxDialog::OnClick, this);
    }

    const wxRect messageRect = place(layout_.message);
    message_ = new wxStaticText(this, kMessageControlId, wxString(), messageRect.GetPosition(), messageRect.GetSize(),
                                wxST_NO_AUTORESIZE);
    wxString shown;
    for (std::size_t i = 0; i < lines_.size(); ++i) shown << (i ? "\n" : "") << ToWx(lines_[i]);
    message_->SetLabelText(shown);
    message_->Bind(wxEVT_LEFT_DOWN, &XMessageBoxDialog::OnClick, this);
    messageBottom_ = messageRect.GetBottom() + 1;
    if (brush_)
        message_->SetForegroundColour(p.textColour.IsOk() ? p.textColour
                                                          : wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));

    const int defaultPosition = DefaultButtonPosition(style, static_cast<int>(row_.size()));
    for (std::size_t i = 0; i < row_.size(); ++i) {
        const wxRect r = place(layout_.buttons[i]);
        auto* button = new wxButton(this, row_[i].id, ToWx(labelOf(row_[i])), r.GetPosition(), r.GetSize());
        if (static_cast<int>(i) + 1 == defaultPosition) {
            button->SetDefault();
            defaultId_ = row_[i].id;
        }
    }

    if (checkCaption >= 0) {
        const wxRect r = place(layout_.checkBox);
        checkBox_ = new wxCheckBox(this, kCheckBoxId, ToWx(captions_[checkCaption]), r.GetPosition(), r.GetSize());
        checkBox_->SetValue(false);
    }

    SetClientSize(place(layout_.box).GetSize());

    // GTK offers no grayed close item; the close button is taken off the
    // title bar instead, and OnClose refuses a close that arrives anyway.
    if (p.disabledSeconds > 0) {
        disabledLeft_ = p.disabledSeconds;
        SetButtonsEnabled(false);
        EnableCloseButton(false);
    }
    if (!escape_) EnableCloseButton(false);
}

void XMessageBoxDialog::PlaceWindow(wxWindow* owner) {
    owner_ = owner;
    const XMessageBoxParams& p = content_.params;
    if (p.x != 0 || p.y != 0) {
        Move(p.x, p.y);
    } else if (owner) {
        const wxRect r = wxGetTopLevelParent(owner)->GetRect();
        const wxSize size = GetSize();
        Move((r.GetLeft() + r.GetLeft() + r.GetWidth()) / 2 - size.x / 2,
             (r.GetTop() + r.GetTop() + r.GetHeight()) / 2 - size.y / 2);
    } else {
        CentreOnScreen();
    }
}

int XMessageBoxDialog::ShowModal() {
    const XMessageBoxParams& p = content_.params;
    if (p.timeoutSeconds > 0) {
        countdownLeft_ = p.timeoutSeconds;
        countdown_ = MakeSecondTicker();
        countdown_->Start([this] { OnCountdownTick(); });
    }
    if (disabledLeft_ >= 0) {
        disabled_ = MakeSecondTicker();
        disabled_->Start([this] { OnDisabledTick(); });
    }
    const int code = wxDialog::ShowModal();
    if (countdown_) countdown_->Stop();
    if (disabled_) disabled_->Stop();
    return code;
}

bool XMessageBoxDialog::CountingDown() const { return countdown_ && countdown_->IsRunning(); }

void XMessageBoxDialog::Command(int command) {
    StopCountdown();
    if (done_) return;
    const XMessageBoxParams& p = content_.params;
    switch (command) {
    case IDCANCEL:
        if (escape_) Finish(*escape_);
        return;
    case 8:  // the number of a close command, which no button of the box carries
        return;
    case kHelpButtonId:
        if (HelpHandler()) HelpHandler()(this, p.helpContext);
        return;
    case kReportButtonId:
        if (p.report) p.report(content_.text, p.reportData);
        return;
    case kCheckBoxId:
        return;
    default:
        break;
    }
    int result = command;
    if (checkBox_ && checkBox_->IsChecked()) result |= static_cast<int>(checkBit_);
    Finish(result);
}

void XMessageBoxDialog::Finish(int result) {
    result_ = result;
    done_ = true;
    if (countdown_) countdown_->Stop();
    if (disabled_) disabled_->Stop();
    if (IsModal())
        EndModal(result);
    else
        SetReturnCode(result);
}

void XMessageBoxDialog::OnButton(wxCommandEvent& event) { Command(event.GetId()); }

void XMessageBoxDialog::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == 'C' && event.ControlDown()) {
        CopyToClipboard();
        return;
    }
    if (key == WXK_ESCAPE) {
        // While the buttons are disabled the box cannot be dismissed at all.
        if (disabledLeft_ < 0) Command(IDCANCEL);
        return;
    }
    event.Skip();
}

void XMessageBoxDialog::OnClose(wxCloseEvent& event) {
    if (!event.CanVeto()) {
        Finish(result_);
        return;
    }
    if (escape_ && disabledLeft_ < 0)
        Command(IDCANCEL);
    else
        event.Veto();
}

void XMessageBoxDialog::OnClick(wxMouseEvent& event) {
    StopCountdown();
    event.Skip();
}

void XMessageBoxDialog::OnMove(wxMoveEvent& event) {
    event.Skip();
    if (!placedOnScreen_)
        return;
    // The window manager shifts a window it frames by up to the frame's
    // size; only a move beyond that is the user's.
    const wxSize frame = GetSize() - GetClientSize();
    const int slack = std::max(frame.x, frame.y) + 2;
    const wxPoint moved = GetPosition() - placedAt_;
    if (std::abs(moved.x) > slack || std::abs(moved.y) > slack)
        StopCountdown();
}

void XMessageBoxDialog::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.DrawRectangle(0, 0, size.x, size.y);
    dc.SetBrush(wxBrush(background_));
    dc.DrawRectangle(0, 0, size.x, messageBottom_);
}

void XMessageBoxDialog::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (!done_ && IsModal() && MainLoopExitRequested()) {
        done_ = true;
        EndModal(result_);
    }
}

void XMessageBoxDialog::OnShow(wxShowEvent& event) {
    event.Skip();
    if (!event.IsShown()) return;
    // A window manager may place a new window by a rule of its own whatever
    // the program asked for; once on the screen the box goes where it
    // belongs.
    if (!placedOnScreen_) {
        wxWeakRef<XMessageBoxDialog> self(this);
        CallAfter([self] {
            if (!self) return;
            self->PlaceWindow(self->owner_);
            self->placedAt_ = self->GetPosition();
            self->placedOnScreen_ = true;
        });
    }
    if (content_.style & MB_SETFOREGROUND) Raise();
    if (wxWindow* button = FindWindow(defaultId_); button && button->IsEnabled()) button->SetFocus();
}

void XMessageBoxDialog::OnCountdownTick() {
    auto* button = dynamic_cast<wxButton*>(FindWindow(defaultId_));
    if (countdownLeft_ < 1) {
        countdown_->Stop();
        Command(static_cast<int>(static_cast<unsigned>(defaultId_) | XMB_RESULT_TIMEOUT));
        return;
    }
    if (button) {
        if (!savedDefaultLabel_) savedDefaultLabel_ = button->GetLabel();
        button->SetLabel(wxString::Format("%s = %d", *savedDefaultLabel_, countdownLeft_));
    }
    --countdownLeft_;
}

void XMessageBoxDialog::StopCountdown() {
    if (countdown_) countdown_->Stop();
    if (savedDefaultLabel_) {
        if (wxWindow* button = FindWindow(defaultId_)) button->SetLabel(*savedDefaultLabel_);
        savedDefaultLabel_.reset();
    }
}

void XMessageBoxDialog::OnDisabledTick() {
    if (disabledLeft_ > 0) {
        SetTitle(wxString::Format("%s %d", ToWx(content_.caption), disabledLeft_));
        --disabledLeft_;
        return;
    }
    disabled_->Stop();
    disabledLeft_ = -1;
    SetButtonsEnabled(true);
    if (escape_) EnableCloseButton(true);
    SetTitle(ToWx(content_.caption));
    Refresh();
    Update();
}

void XMessageBoxDialog::SetButtonsEnabled(bool enable) {
    for (wxWindow* child : GetChildren()) {
        const int id = child->GetId();
        if (id >= 1 && id <= 26 && (dynamic_cast<wxButton*>(child) || dynamic_cast<wxCheckBox*>(child)))
            child->Enable(enable);
    }
}

std::string XMessageBoxDialog::CopyText() const {
    std::vector<std::string> buttons;
    // The check box counts as a button here, as its caption belongs to the box.
    for (const wxWindow* child : GetChildren())
        if (dynamic_cast<const wxButton*>(child) || dynamic_cast<const wxCheckBox*>(child))
            buttons.push_back(child->GetLabel().utf8_string());
    std::optional<std::string> message;
    if (message_) message = ValidUtf8(content_.text);
    return XmbCopyText(GetTitle().utf8_string(), message, buttons);
}

bool XMessageBoxDialog::CopyToClipboard() const {
    if (!wxTheClipboard->Open()) return false;
    const bool done = wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(CopyText())));
    wxTheClipboard->Close();
    // The program owns what it copied only while it runs; a clipboard
    // manager, where the desktop has one, keeps it after the program ends.
    if (done)
        wxTheClipboard->Flush();
    return done;
}

}  // namespace pw
