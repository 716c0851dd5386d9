#pragma once
// The TIFF Information dialog (template 220): a file's tiffinfo report in
// one read-only text that fills the resizable dialog.

#include "ui/cdxCResizableDialog.h"

#include <wx/timer.h>

#include <string>

class wxTextCtrl;

namespace pw {

class CTiffInfoDlg : public cdxCResizableDialog {
public:
    explicit CTiffInfoDlg(wxWindow* parent = nullptr);

    // The report as captured; set before the dialog is shown.
    void SetReport(const std::string& report) { m_report = report; }

    bool OnInitDialog() override;

    wxTextCtrl* GetReportText() const { return m_text; }

private:
    void OnTimer(wxTimerEvent& event);

    std::string m_report;
    wxTextCtrl* m_text = nullptr;
    wxTimer m_timer;
};

}  // namespace pw
