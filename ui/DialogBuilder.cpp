#include "ui/DialogBuilder.h"

#include <wx/button.h>
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
        w = button;
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
    return w;
}

bool CreateDialogFromTemplate(wxDialog* dialog, wxWindow* parent, const DialogTemplate& tmpl) {
    if (!dialog->Create(parent, wxID_ANY, wxString::FromUTF8(tmpl.caption ? tmpl.caption : ""),
                        wxDefaultPosition, wxDefaultSize, WxDialogStyle(tmpl.style)))
        return false;
    const wxRect client = DialogUnitsToPixels(dialog, DialogUnitRect{0, 0, tmpl.width, tmpl.height});
    dialog->SetClientSize(client.GetSize());
    for (const ControlTemplate& row : tmpl.controls)
        CreateControlFromTemplate(dialog, row);
    if (tmpl.style & DS_CENTER)
        dialog->CentreOnScreen();
    return true;
}

}  // namespace pw
