#include "app/CPagewrightApp.h"

#include "app/SelectUiLanguage.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/ProgramHelp.h"
#include "ui/XMessageBoxAnswers.h"

namespace pw {

namespace {
bool g_ranMainWindow = false;
}

bool CPagewrightApp::RanMainWindow() { return g_ranMainWindow; }

bool CPagewrightApp::OnInit() {
    SelectUiLanguage(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    UseDesktopConfigurationFile(GetAppName().utf8_string());
    InstallProgramHelp();
    g_ranMainWindow = true;
    {
        CMainDlg dialog(nullptr);
        SetTopWindow(&dialog);
        dialog.ShowModal();
        SetTopWindow(nullptr);
    }
    return false;
}

}  // namespace pw
