#pragma once
// The About box (template 100): the program's name, its rights notice with
// the current year, links to the home page and the support address, and a
// button that opens the web page.

#include <wx/dialog.h>

namespace pw {

class CLinkStatic;

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent = nullptr);

    CLinkStatic* GetHomePageLink() const;
    CLinkStatic* GetMailLink() const;

private:
    void OnInitDialog();
};

}  // namespace pw
