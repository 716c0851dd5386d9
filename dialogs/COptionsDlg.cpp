#include "dialogs/COptionsDlg.h"

#include "res/ResourceIds.h"
#include "settings/CompressionMethod.h"
#include "settings/Profile.h"
#include "settings/ProgramSettings.h"
#include "ui/DialogBuilder.h"
#include "ui/PathText.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

namespace pw {

namespace {

constexpr char kDefaultName[] = "Demo1_";
constexpr unsigned kNameTypingLimit = 35;

}  // namespace

COptionsDlg::COptionsDlg(wxWindow* parent) {
    if (const DialogTemplate* tmpl = FindDialogTemplate(IDD_OPTIONS))
        CreateDialogFromTemplate(this, parent, *tmpl);
    m_useCompression = wxDynamicCast(FindWindow(IDC_OPTIONS_USECOMPRESSION), wxCheckBox);
    m_name = wxDynamicCast(FindWindow(IDC_OPTIONS_NAME), wxTextCtrl);
    m_method = wxDynamicCast(FindWindow(IDC_OPTIONS_COMPRESSION), wxChoice);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ResetOptions(); }, IDC_OPTIONS_RESET);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        SaveOptions();
        EndModal(wxID_OK);
    }, IDC_OKBUTTON);
}

int COptionsDlg::ShowModal() {
    SetTitle("Setting");
    ResetOptions();
    LoadOptions();
    CentreOnParent();
    return wxDialog::ShowModal();
}

void COptionsDlg::ResetOptions() {
    if (m_name) {
        m_name->SetMaxLength(kNameTypingLimit);
        m_name->ChangeValue(kDefaultName);
    }
    if (m_method) {
        m_method->Clear();
        for (const CompressionMethod& method : kCompressionMethods)
            m_method->Append(method.comboText);
        m_method->SetSelection(0);
    }
}

void COptionsDlg::LoadOptions() {
    std::string name = ReadNamingRule();
    if (IsUnsetSetting(name))
        name = kDefaultName;
    // The limit holds for typing only; a longer stored name is shown whole.
    if (m_name)
        m_name->ChangeValue(PathToWx(name));

    const std::string stored = ReadCompressMethodSetting();
    int method = IsUnsetSetting(stored) ? 0 : ParseProfileInt(stored);
    if (method < 0 || method >= static_cast<int>(kCompressionMethods.size()))
        method = 0;
    if (m_method)
        m_method->SetSelection(method);

    if (m_useCompression)
        m_useCompression->SetValue(IsUseCompressionOn(ReadUseCompressMethod()));
}

void COptionsDlg::SaveOptions() {
    std::string name = m_name ? PathFromWx(m_name->GetValue()) : std::string();
    if (name.empty())
        name = kDefaultName;
    const int method = m_method ? m_method->GetSelection() : wxNOT_FOUND;
    WriteNamingRule(name);
    WriteCompressMethodSetting(method == wxNOT_FOUND ? 0 : method);
    WriteUseCompressMethod(m_useCompression && m_useCompression->GetValue());
}

}  // namespace pw
