#pragma once
// The picture of a size grip for a window's lower right corner: diagonal
// ridges in the desktop's 3-D colours over the dialog's face colour. It is a
// picture only; the window is resized through its frame.

#include <wx/window.h>

namespace pw {

class SizeGrip : public wxWindow {
public:
    SizeGrip() = default;
    bool Create(wxWindow* parent, const wxPoint& pos, const wxSize& size);

    // A picture: Tab passes it by.
    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
};

}  // namespace pw
