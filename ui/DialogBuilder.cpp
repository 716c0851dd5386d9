#include "ui/DialogBuilder.h"

#include "ui/AccessibleName.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/textwrapper.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace pw {

namespace {

long WxDialogStyle(unsigned style) {
    long s = 0;
    if (style & DS_CAPTION)
        s |= wxCAPTION;
    if (style & DS_SYSMENU)
        s |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (style & DS_MINIMIZEBOX)
        s |= wxMINIMIZE_BOX;
    if (style & DS_MAXIMIZEBOX)
        s |= wxMAXIMIZE_BOX;
    if (style & DS_RESIZABLE)
        s |= wxRESIZE_BORDER;
    // A window of its own in the task bar, not tied to another top window.
    if (style & DS_APPWINDOW)
        s |= wxDIALOG_NO_PARENT;
    return s;
}

// Breaks a text into lines no wider than width in the window's font; the
// lines are joined with '\n'.
class LineBreaker : public wxTextWrapper {
public:
    wxString Wrapped(wxWindow* window, const wxString& text, int width) {
        Wrap(window, text, width);
        return m_text;
    }

protected:
    void OnOutputLine(const wxString& line) override { m_text += line; }
    void OnNewLine() override { m_text += '\n'; }

private:
    wxString m_text;
};

// A radio button or check box whose text wraps at the row's width, as the
// template's multi-line buttons do: the toolkit's buttons keep their text on
// one line, so the breaks are put in the text. The width of the mark beside
// the text is taken from a button of the same kind holding one letter.
void WrapButtonText(wxControl* button, wxControl* probe, const wxString& text, int rowWidth) {
    const int mark = probe->GetBestSize().x - probe->GetTextExtent(probe->GetLabel()).x;
    probe->Destroy();
    const int width = rowWidth - mark;
    if (width > 0)
        button->SetLabel(LineBreaker().Wrapped(button, text, width));
}

// A label's text as a field's name: without its mnemonic and final colon.
wxString FieldName(const char* labelText) {
    wxString name = wxStripMenuCodes(wxString::FromUTF8(labelText ? labelText : ""), wxStrip_Mnemonics);
    name.Trim();
    if (name.EndsWith(":"))
        name.RemoveLast();
    return name.Trim();
}

}  // namespace

wxRect DialogUnitsToPixels(const wxWindow* dialog, const DialogUnitRect& r) {
    const wxPoint topLeft = dialog->ConvertDialogToPixels(wxPoint(r.x, r.y));
    const wxPoint bottomRight = dialog->ConvertDialogToPixels(wxPoint(r.x + r.w, r.y + r.h));
    return wxRect(topLeft, wxSize(bottomRight.x - topLeft.x, bottomRight.y - topLeft.y));
}

wxWindow* CreateControlFromTemplate(wxDialog* dialog, const ControlTemplate& row) {
    const wxRect r = DialogUnitsToPixels(dialog, row.rect);
    const wxPoint pos = r.GetPosition();
    const wxSize size = r.GetSize();
    const wxString text = wxString::FromUTF8(row.text ? row.text : "");
    const long border = (row.style & CS_BORDER) ? wxBORDER_SUNKEN : 0;
    wxWindow* w = nullptr;
    switch (row.cls) {
    case ControlClass::Button: {
        auto* button = new wxButton(dialog, row.id, text, pos, size);
        if (row.style & CS_DEFAULT)
            button->SetDefault();
        // The templates' buttons 1 and 2 are the dialog's OK and Cancel:
        // Return reaches the first through the default, Escape the second.
        if (row.id == 1)
            dialog->SetAffirmativeId(row.id);
        else if (row.id == 2)
            dialog->SetEscapeId(row.id);
        w = button;
        break;
    }
    case ControlClass::GroupBox:
        w = new wxStaticBox(dialog, row.id, text, pos, size);
        break;
    case ControlClass::RadioButton: {
        auto* radio = new wxRadioButton(dialog, row.id, text, pos, size, (row.style & CS_GROUP) ? wxRB_GROUP : 0);
        if (row.style & CS_MULTILINETEXT)
            WrapButtonText(radio, new wxRadioButton(dialog, wxID_ANY, "x", pos, wxDefaultSize, wxRB_SINGLE), text,
                           size.x);
        w = radio;
        break;
    }
    case ControlClass::CheckBox: {
        auto* check = new wxCheckBox(dialog, row.id, text, pos, size);
        if (row.style & CS_MULTILINETEXT)
            WrapButtonText(check, new wxCheckBox(dialog, wxID_ANY, "x"), text, size.x);
        w = check;
        break;
    }
    case ControlClass::DropDownList: {
        // The row's height includes the dropped list; the closed list has
        // the toolkit's height. A combo box that cannot be typed into rather
        // than GTK's plain choice: that one keeps its focus on an inner part
        // that screen readers never see, so they find nothing focused.
        auto* choice = new wxComboBox(dialog, row.id, wxString(), pos, wxSize(size.x, -1), 0, nullptr, wxCB_READONLY);
        choice->SetLabel(text);
        w = choice;
        break;
    }
    case ControlClass::Static: {
        auto* label = new wxStaticText(dialog, row.id, wxString(), pos, size, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
        if (row.style & CS_NOPREFIX)
            label->SetLabelText(text);
        else
            label->SetLabel(text);
        w = label;
        break;
    }
    case ControlClass::EtchedLine:
        w = new wxStaticLine(dialog, row.id, pos, size, size.y > size.x ? wxLI_VERTICAL : wxLI_HORIZONTAL);
        break;
    case ControlClass::ListView: {
        const long style = ((row.style & CS_REPORT) ? wxLC_REPORT : wxLC_ICON) | border;
        auto* list = new wxListCtrl(dialog, row.id, pos, size, style);
        list->SetLabel(text);
        w = list;
        break;
    }
    case ControlClass::Progress:
        w = new wxGauge(dialog, row.id, 100, pos, size, wxGA_HORIZONTAL | wxGA_SMOOTH);
        break;
    case ControlClass::Panel:
        w = new wxPanel(dialog, row.id, pos, size, border | wxTAB_TRAVERSAL);
        break;
    case ControlClass::Edit: {
        long style = border;
        if (row.style & CS_MULTILINE)
            style |= wxTE_MULTILINE;
        if (row.style & CS_READONLY)
            style |= wxTE_READONLY;
        w = new wxTextCtrl(dialog, row.id, text, pos, size, style);
        break;
    }
    }
    // The toolkit's buttons have a least height of their own (the theme's
    // padding); a lower row gets that height around the same middle, so
    // that no part of the button is cut off.
    if (w && (row.cls == ControlClass::Button || row.cls == ControlClass::RadioButton ||
              row.cls == ControlClass::CheckBox)) {
        const int needed = w->GetBestSize().y;
        if (needed > size.y)
            w->SetSize(pos.x, pos.y - (needed - size.y) / 2, size.x, needed);
    }
    return w;
}

bool CreateDialogFromTemplate(wxDialog* dialog, wxWindow* parent, const DialogTemplate& tmpl,
                              ControlFactory factory) {
    if (!dialog->Create(parent, wxID_ANY, wxString::FromUTF8(tmpl.caption ? tmpl.caption : ""),
                        wxDefaultPosition, wxDefaultSize, WxDialogStyle(tmpl.style)))
        return false;
    const wxRect client = DialogUnitsToPixels(dialog, DialogUnitRect{0, 0, tmpl.width, tmpl.height});
    dialog->SetClientSize(client.GetSize());
    // A field's name for a screen reader is the label (or the text of the
    // radio button that picks it) just before it in the template.
    wxString label;
    for (const ControlTemplate& row : tmpl.controls) {
        if (!factory || !factory(dialog, row, DialogUnitsToPixels(dialog, row.rect)))
            CreateControlFromTemplate(dialog, row);
        const bool field = row.cls == ControlClass::Edit || row.cls == ControlClass::DropDownList;
        if (field && !label.empty() && row.id > 0)
            SetAccessibleName(dialog->FindWindow(row.id), label);
        const bool labels = row.cls == ControlClass::Static || row.cls == ControlClass::RadioButton;
        label = labels ? FieldName(row.text) : wxString();
    }
    if (tmpl.style & DS_CENTER)
        dialog->CentreOnScreen();
    // A program's own main window stays a frame.
    if (!(tmpl.style & DS_APPWINDOW))
        PresentAsDialogToScreenReaders(dialog);
    return true;
}

}  // namespace pw
