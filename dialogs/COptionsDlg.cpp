#include "dialogs/COptionsDlg.h"

#include "res/ResourceIds.h"
#include "settings/CompressionMethod.h"
#include "settings/Profile.h"
#include "settings/ProgramSettings.h"
#include "ui/DialogBuilder.h"
#include "ui/PathText.h"

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>

namespace pw {

namespace {

constexpr char kDefaultName[] = "Demo1_";
constexpr unsigned kNameTypingLimit = 35;

}  // namespace

COptionsDlg::COptionsDlg(wxWindow* parent) {
    if (const DialogTemplate* tmpl = FindDialogTemplate(IDD_OPTIONS))
        CreateDialogFromTemplate(this, parent, *tmpl);
    m_useCompression = wxDynamicCast(FindWindow(IDC_OPTIONS_USECOMPRESSION), wxCheckBox);
    m_engine = wxDynamicCast(FindWindow(IDC_OPTIONS_ENGINE), wxCheckBox);
    m_name = wxDynamicCast(FindWindow(IDC_OPTIONS_NAME), wxTextCtrl);
    m_method = wxDynamicCast(FindWindow(IDC_OPTIONS_COMPRESSION), wxComboBox);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ResetOptions(); }, IDC_OPTIONS_RESET);
    Bind(wxEVT_TEXT, &COptionsDlg::OnNameTyped, this, IDC_OPTIONS_NAME);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        SaveOptions();
        // A dialog answered through the modal hook (tests) runs no loop.
        if (IsModal())
            EndModal(wxID_OK);
        else
            SetReturnCode(wxID_OK);
    }, IDC_DIALOG_OK);
}

int COptionsDlg::ShowModal() {
    SetTitle("Setting");
    ResetOptions();
    LoadOptions();
    CentreOnParent();
    return wxDialog::ShowModal();
}

void COptionsDlg::ResetOptions() {
    m_nameLimit = kNameTypingLimit;
    ShowName(kDefaultName);
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
    ShowName(PathToWx(name));

    const std::string stored = ReadCompressMethodSetting();
    int method = IsUnsetSetting(stored) ? 0 : ParseProfileInt(stored);
    if (method < 0 || method >= static_cast<int>(kCompressionMethods.size()))
        method = 0;
    if (m_method)
        m_method->SetSelection(method);

    if (m_useCompression)
        m_useCompression->SetValue(IsUseCompressionOn(ReadUseCompressMethod()));
    if (m_engine)
        m_engine->SetValue(IsBuiltinEngine(ReadEngineSetting()));
}

void COptionsDlg::ShowName(const wxString& name) {
    if (!m_name)
        return;
    m_name->ChangeValue(name);
    m_nameBefore = name;
}

void COptionsDlg::OnNameTyped(wxCommandEvent&) {
    // The toolkit's own length limit would also cut a longer name put in by
    // the program, so typing is limited here: of what was typed or pasted,
    // only as much is kept as fits under the limit.
    const wxString now = m_name->GetValue();
    if (m_nameLimit == 0 || now.length() <= m_nameLimit || now.length() <= m_nameBefore.length()) {
        m_nameBefore = now;
        return;
    }
    size_t head = 0;
    while (head < m_nameBefore.length() && m_nameBefore[head] == now[head])
        ++head;
    size_t tail = 0;
    while (tail < m_nameBefore.length() - head && m_nameBefore[m_nameBefore.length() - 1 - tail] == now[now.length() - 1 - tail])
        ++tail;
    const size_t room = m_nameBefore.length() < m_nameLimit ? m_nameLimit - m_nameBefore.length() : 0;
    const size_t typed = now.length() - head - tail;
    const wxString kept = now.substr(0, head) + now.substr(head, std::min(room, typed)) + now.substr(now.length() - tail);
    m_name->ChangeValue(kept);
    m_name->SetInsertionPoint(static_cast<long>(head + std::min(room, typed)));
    m_nameBefore = kept;
    if (room < typed)
        wxBell();
}

void COptionsDlg::SaveOptions() {
    std::string name = m_name ? PathFromWx(m_name->GetValue()) : std::string();
    if (name.empty())
        name = kDefaultName;
    const int method = m_method ? m_method->GetSelection() : wxNOT_FOUND;
    WriteNamingRule(name);
    WriteCompressMethodSetting(method == wxNOT_FOUND ? 0 : method);
    WriteUseCompressMethod(m_useCompression && m_useCompression->GetValue());
    WriteEngineSetting(!m_engine || m_engine->GetValue());
}

}  // namespace pw
