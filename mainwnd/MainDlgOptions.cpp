// The Options button.

#include "mainwnd/CMainDlg.h"

#include "dialogs/COptionsDlg.h"

namespace pw {

void CMainDlg::OnOptions(wxCommandEvent&) {
    COptionsDlg dialog(this);
    dialog.ShowModal();
}

}  // namespace pw
