#include "app/CPagewrightApp.h"

#include "app/SelectUiLanguage.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/ProgramHelp.h"
#include "platform/DebugTrace.h"
#include "ui/XMessageBoxAnswers.h"

#include <wx/log.h>

#include <new>

namespace pw {

namespace {
bool g_ranMainWindow = false;
}

bool CPagewrightApp::RanMainWindow() { return g_ranMainWindow; }

bool CPagewrightApp::OnExceptionInMainLoop() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        DebugTrace("a window event ran out of memory; the window goes on");
        return true;
    } catch (...) {
        return wxApp::OnExceptionInMainLoop();
    }
}

bool CPagewrightApp::OnInit() {
    SelectUiLanguage(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    UseDesktopConfigurationFile(GetAppName().utf8_string());
    InstallProgramHelp();
    // The program's diagnostics go to the log's "pagewright" trace mask
    // (WXTRACE=pagewright shows them); wxLog queues what other threads send.
    SetDebugTraceSink([](const std::string& text) {
        std::string line = text;
        while (!line.empty() && line.back() == '\n') line.pop_back();
        wxLogTrace("pagewright", "%s", wxString::FromUTF8(line));
    });
    g_ranMainWindow = true;
    {
        CMainDlg dialog(nullptr);
        SetTopWindow(&dialog);
        dialog.ShowModal();
        SetTopWindow(nullptr);
    }
    SetDebugTraceSink({});
    return false;
}

}  // namespace pw
