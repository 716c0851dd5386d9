#include "mainwnd/CMainDlg.h"

namespace pw {

// Stands until the TIFF information dialog is part of the window.
bool CMainDlg::ShowTiffInformation(const std::string&) { return false; }

}  // namespace pw
