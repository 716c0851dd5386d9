#pragma once
// The Extract dialog (template 221): the first selected file's name, page
// count and TIFF report, a From/To range or a free page list, and the
// output folder. The range settings are remembered on OK.

#include <wx/dialog.h>

#include <string>

class wxTextCtrl;
class wxRadioButton;

namespace pw {

class CPageRangeDlg : public wxDialog {
public:
    explicit CPageRangeDlg(wxWindow* parent);

    // Filled in by the caller before the dialog is shown.
    void SetFileName(const std::string& path) { m_fileName = path; }
    void SetPageCountText(const std::string& text) { m_pageCount = text; }
    void SetTiffInformation(const std::string& report) { m_tiffInfo = report; }

    // Reads the remembered values, puts them into the controls and shows
    // the dialog.
    int ShowModal() override;

    // "%d-%d" of From and To in range mode 0, the page list as typed in
    // mode 1, and the empty text in any other mode.
    std::string GetRangeText() const;
    std::string GetOutputFolder() const { return m_outputFolder; }
    int GetRangeMode() const { return m_splitOption; }

    // Values to controls, and back in the order 1095, 1100, 1098, 1099; the
    // way back stops at the first field that is refused, with the message
    // shown and that field active.
    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    // Checks the radio button of the range mode and enables the inputs
    // that belong to it.
    void UpdateControls();

private:
    void OnInitDialog();
    void OnRangeMode(int mode);
    void OnBrowse(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    void EndWith(int result);
    bool TakePageNumber(int controlId, int& value);
    wxTextCtrl* Text(int id) const;

    wxRadioButton* m_noMode = nullptr;
    std::string m_anyPageRange;
    std::string m_outputFolder;
    int m_pageFrom = 1;
    int m_pageTo = 99999;
    std::string m_tiffInfo;
    int m_splitOption = 0;
    std::string m_fileName;
    std::string m_pageCount;
};

}  // namespace pw
