#include "dialogs/CPageRangeDlg.h"

#include "platform/UserFolders.h"
#include "res/ResourceIds.h"
#include "settings/DialogSettings.h"
#include "ui/AppMessageBox.h"
#include "ui/ChooseFolder.h"
#include "ui/DialogBuilder.h"
#include "ui/PathText.h"
#include "ui/XMessageBox.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace pw {

namespace {

constexpr int kMinPage = 1;
constexpr int kMaxPage = 99999;

// The number a page field holds: blanks, a decimal integer, blanks and
// nothing else. A number too large for long is kept as the largest one, so
// that it is refused as out of range rather than as no number.
bool ParseFieldInteger(const std::string& text, long& value) {
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    char* end = nullptr;
    value = std::strtol(p, &end, 10);
    if (end == p)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    return *end == '\0';
}

}  // namespace

CPageRangeDlg::CPageRangeDlg(wxWindow* parent) {
    if (const DialogTemplate* tmpl = FindDialogTemplate(IDD_PAGERANGE))
        CreateDialogFromTemplate(this, parent, *tmpl);
    // A radio group always has one button checked; a stored mode other
    // than 0 and 1 checks this hidden member, so that both visible ones are
    // clear.
    m_noMode = new wxRadioButton(this, wxID_ANY, wxString());
    m_noMode->Hide();
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnRangeMode(0); }, IDC_PAGERANGE_MODERANGE);
    Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnRangeMode(1); }, IDC_PAGERANGE_MODELIST);
    Bind(wxEVT_BUTTON, &CPageRangeDlg::OnBrowse, this, IDC_PAGERANGE_BROWSE);
    Bind(wxEVT_BUTTON, &CPageRangeDlg::OnOK, this, IDC_DIALOG_OK);
}

wxTextCtrl* CPageRangeDlg::Text(int id) const { return wxDynamicCast(FindWindow(id), wxTextCtrl); }

int CPageRangeDlg::ShowModal() {
    OnInitDialog();
    return wxDialog::ShowModal();
}

void CPageRangeDlg::OnInitDialog() {
    m_outputFolder = ReadOpenFolder();
    if (m_outputFolder.empty())
        m_outputFolder = GetHomeFolder();
    PageRangeSettings current;
    current.splitOption = m_splitOption;
    current.anyPageRange = m_anyPageRange;
    const PageRangeSettings stored = ReadPageRangeSettings(current);
    m_splitOption = stored.splitOption;
    m_anyPageRange = stored.anyPageRange;
    m_pageFrom = stored.pageFrom;
    m_pageTo = stored.pageTo;
    TransferDataToWindow();
    UpdateControls();
    CentreOnParent();
}

bool CPageRangeDlg::TransferDataToWindow() {
    if (wxTextCtrl* t = Text(IDC_PAGERANGE_LIST))
        t->ChangeValue(PathToWx(m_anyPageRange));
    if (wxTextCtrl* t = Text(IDC_PAGERANGE_FOLDER))
        t->ChangeValue(PathToWx(m_outputFolder));
    if (wxTextCtrl* t = Text(IDC_PAGERANGE_FROM))
        t->ChangeValue(wxString::Format("%d", m_pageFrom));
    if (wxTextCtrl* t = Text(IDC_PAGERANGE_TO))
        t->ChangeValue(wxString::Format("%d", m_pageTo));
    // The report can be megabytes long and the dialog never changes it: it
    // is put in once, not again at every refresh.
    if (wxTextCtrl* t = Text(IDC_PAGERANGE_INFO); t && t->IsEmpty() && !m_tiffInfo.empty())
        t->ChangeValue(PathToWx(m_tiffInfo));
    if (wxTextCtrl* t = Text(IDC_PAGERANGE_FILENAME))
        t->ChangeValue(PathToWx(m_fileName));
    if (auto* count = wxDynamicCast(FindWindow(IDC_PAGERANGE_PAGECOUNT), wxStaticText))
        count->SetLabelText(PathToWx(m_pageCount));
    return true;
}

bool CPageRangeDlg::TakePageNumber(int controlId, int& value) {
    wxTextCtrl* field = Text(controlId);
    if (!field)
        return true;
    long number = 0;
    const char* refusal = nullptr;
    if (!ParseFieldInteger(PathFromWx(field->GetValue()), number)) {
        refusal = "Please enter an integer.";
    } else {
        value = static_cast<int>(std::clamp<long>(number, INT_MIN, INT_MAX));
        if (number < kMinPage || number > kMaxPage)
            refusal = "Please enter an integer between 1 and 99999.";
    }
    if (!refusal)
        return true;
    AppMessageBox(this, refusal, MB_OK);
    field->SetFocus();
    field->SelectAll();
    return false;
}

bool CPageRangeDlg::TransferDataFromWindow() {
    if (wxTextCtrl* t = Text(IDC_PAGERANGE_LIST))
        m_anyPageRange = PathFromWx(t->GetValue());
    if (wxTextCtrl* t = Text(IDC_PAGERANGE_FOLDER))
        m_outputFolder = PathFromWx(t->GetValue());
    return TakePageNumber(IDC_PAGERANGE_FROM, m_pageFrom) && TakePageNumber(IDC_PAGERANGE_TO, m_pageTo);
}

void CPageRangeDlg::UpdateControls() {
    if (auto* r = wxDynamicCast(FindWindow(IDC_PAGERANGE_MODERANGE), wxRadioButton))
        r->SetValue(m_splitOption == 0);
    if (auto* r = wxDynamicCast(FindWindow(IDC_PAGERANGE_MODELIST), wxRadioButton))
        r->SetValue(m_splitOption == 1);
    if (m_splitOption != 0 && m_splitOption != 1)
        m_noMode->SetValue(true);
    for (int id : {IDC_PAGERANGE_FROM, IDC_PAGERANGE_TO, IDC_PAGERANGE_FROMLABEL, IDC_PAGERANGE_TOLABEL})
        if (wxWindow* w = FindWindow(id))
            w->Enable(m_splitOption == 0);
    if (wxWindow* w = FindWindow(IDC_PAGERANGE_LIST))
        w->Enable(m_splitOption == 1);
}

void CPageRangeDlg::OnRangeMode(int mode) {
    m_splitOption = mode;
    UpdateControls();
}

void CPageRangeDlg::OnBrowse(wxCommandEvent&) {
    const std::string folder = ChooseFolder(this);
    if (folder.empty())
        return;
    m_outputFolder = folder;
    TransferDataToWindow();
    UpdateControls();
}

void CPageRangeDlg::OnOK(wxCommandEvent&) {
    if (!TransferDataFromWindow())
        return;
    if (m_splitOption == 1 && m_anyPageRange.empty()) {
        AppMessageBox(this, "Please input a valid page range.", MB_OK | MB_ICONERROR);
        return;
    }
    if (m_outputFolder.empty()) {
        AppMessageBox(this, "Please select a valid output folder.", MB_OK | MB_ICONERROR);
        return;
    }
    WritePageRangeSettings({m_splitOption, m_anyPageRange, m_pageFrom, m_pageTo});
    EndWith(wxID_OK);
}

void CPageRangeDlg::EndWith(int result) {
    // A dialog answered through the modal hook (tests, benchmarks) is not
    // running a modal loop; it only keeps the result for the hook to return.
    if (IsModal())
        EndModal(result);
    else
        SetReturnCode(result);
}

std::string CPageRangeDlg::GetRangeText() const {
    if (m_splitOption == 0) {
        char text[32];
        std::snprintf(text, sizeof text, "%d-%d", m_pageFrom, m_pageTo);
        return text;
    }
    if (m_splitOption == 1)
        return m_anyPageRange;
    return std::string();
}

}  // namespace pw
