#include "mainwnd/CMainDlg.h"
#include "mainwnd/SessionBusService.h"

namespace pw {

void CMainDlg::StartSessionBusService() {
    if (m_busService)
        return;
    SessionBusHandlers handlers;
    handlers.window = GetHandle();
    handlers.addFile = [this](const std::string& path) { AddExistingFile(path.c_str()); };
    handlers.progressText = [this](unsigned position, const std::string& text) { OnProgressText(position, text); };
    m_busService = SessionBusService::Start(std::move(handlers));
}

std::string CMainDlg::GetBusName() const { return m_busService ? m_busService->BusName() : std::string(); }

}  // namespace pw
