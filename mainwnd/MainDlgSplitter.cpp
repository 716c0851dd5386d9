// The bar between the preview and the file list.

#include "mainwnd/CMainDlg.h"

#include "res/ResourceIds.h"

namespace pw {

void CMainDlg::SetUpSplitter() {
    m_splitter.AttachToStatic(this, IDC_SPLITTER);
    m_splitter.SetMinPaneSizes(30, 30);
    m_splitter.AddLeftPane(IDC_PREVIEW);
    m_splitter.AddRightPane(IDC_FILELIST);
    m_splitter.RecalcPanes();
}

}  // namespace pw
