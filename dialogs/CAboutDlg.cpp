#include "dialogs/CAboutDlg.h"

#include "platform/ProductIdentity.h"
#include "res/ProgramIcon.h"
#include "res/ResourceIds.h"
#include "ui/CLinkStatic.h"
#include "ui/DialogBuilder.h"
#include "ui/OpenInBackground.h"

#include <wx/button.h>
#include <wx/datetime.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

namespace pw {

namespace {

// The icon's place becomes the program icon, and the two link statics
// become links.
wxWindow* CreateAboutControl(wxDialog* dialog, const ControlTemplate& row, const wxRect& rect) {
    if (row.cls == ControlClass::Panel)
        return new wxStaticBitmap(dialog, wxID_ANY, wxBitmap(kProgramIcon32), rect.GetPosition());
    if (row.id == IDC_ABOUT_HOMEPAGE || row.id == IDC_ABOUT_MAIL)
        return new CLinkStatic(dialog, row.id, wxString::FromUTF8(row.text), rect.GetPosition(), rect.GetSize());
    return nullptr;
}

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent) {
    if (const DialogTemplate* tmpl = FindDialogTemplate(IDD_ABOUTBOX))
        CreateDialogFromTemplate(this, parent, *tmpl, &CreateAboutControl);
    SetAffirmativeId(IDC_DIALOG_OK);
    Bind(wxEVT_BUTTON, [](wxCommandEvent&) { OpenInBackground({GetProductIdentity().webPage}); }, IDC_ABOUT_WEB);
    OnInitDialog();
}

CLinkStatic* CAboutDlg::GetHomePageLink() const { return dynamic_cast<CLinkStatic*>(FindWindow(IDC_ABOUT_HOMEPAGE)); }

CLinkStatic* CAboutDlg::GetMailLink() const { return dynamic_cast<CLinkStatic*>(FindWindow(IDC_ABOUT_MAIL)); }

void CAboutDlg::OnInitDialog() {
    const ProductIdentity& id = GetProductIdentity();
    const wxString name = wxString::FromUTF8(id.displayName);
    const wxString mail = "mailto:" + wxString::FromUTF8(id.supportEmail);
    const wxString homePage = wxString::FromUTF8(id.homePage);
    SetTitle(name);
    if (auto* line = wxDynamicCast(FindWindow(IDC_ABOUT_NAME), wxStaticText))
        line->SetLabelText(name);
    if (auto* line = wxDynamicCast(FindWindow(IDC_ABOUT_RIGHTS), wxStaticText))
        line->SetLabelText(wxString::Format(wxString::FromUTF8(id.rightsNoticeFormat), wxDateTime::Now().GetYear()));
    CLinkStatic* home = GetHomePageLink();
    CLinkStatic* mailLink = GetMailLink();
    if (home)
        home->SetLabel(homePage);
    if (mailLink) {
        mailLink->SetLabel(mail);
        mailLink->SetLinkTarget(mail);
        mailLink->SetUnderlined(false);
    }
    if (home) {
        home->SetLinkTarget(homePage);
        home->SetUnderlined(false);
    }
    if (wxWindow* web = FindWindow(IDC_ABOUT_WEB))
        web->SetLabel(name);
}

}  // namespace pw
