#include "mainwnd/SessionBusService.h"

#include "mainwnd/WindowMessages.h"
#include "platform/DebugTrace.h"
#include "platform/GlobalAtom_win32.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>

namespace pw {

// Windows has no session bus: other programs send the main window the
// messages of WindowMessages.h. The service hooks into the window's own
// procedure, so each message is handled on the window's thread while the
// sender waits (a sender may delete its atom as soon as it has the reply).
struct SessionBusService::Connection {
    HWND window = nullptr;
    const SessionBusHandlers* handlers = nullptr;
};

namespace {

constexpr UINT_PTR kSubclassId = 0x5057;  // one hook per window

LRESULT CALLBACK AnswerMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data) {
    const auto* handlers = reinterpret_cast<const SessionBusHandlers*>(data);
    switch (message) {
    case UM_PING:
        return PingAnswer(static_cast<unsigned>(std::min<WPARAM>(wParam, UINT_MAX)));
    case UM_ADD_FILE:
        if (lParam != 0 && handlers->addFile) {
            // A name that does not fit the buffer is not cut to another path.
            if (auto path = ReadGlobalAtomName(static_cast<ATOM>(lParam), kAddFileAtomBuffer))
                handlers->addFile(*path);
            else
                DebugTrace("UM_ADD_FILE: no atom, or a path too long; nothing added");
        }
        return 0;
    case UM_PROGRESS_TEXT:
        if (lParam != 0 && handlers->progressText) {
            if (auto text = ReadGlobalAtomName(static_cast<ATOM>(lParam), kProgressTextAtomBuffer))
                handlers->progressText(static_cast<unsigned>(std::min<WPARAM>(wParam, UINT_MAX)), *text);
            else
                DebugTrace("UM_PROGRESS_TEXT: no atom, or a text too long; nothing shown");
        }
        return 0;
    default:
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
}

}  // namespace

std::unique_ptr<SessionBusService> SessionBusService::Start(SessionBusHandlers handlers) {
    auto* window = static_cast<HWND>(handlers.window);
    if (!window || !::IsWindow(window))
        return nullptr;
    std::unique_ptr<SessionBusService> service(new SessionBusService());
    service->m_handlers = std::move(handlers);
    service->m_connection = std::make_unique<Connection>();
    service->m_connection->window = window;
    service->m_connection->handlers = &service->m_handlers;
    if (!::SetWindowSubclass(window, AnswerMessages, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(service->m_connection->handlers))) {
        DebugTrace("The window cannot answer other programs' messages");
        return nullptr;
    }
    return service;
}

SessionBusService::~SessionBusService() {
    if (m_connection && m_connection->window)
        ::RemoveWindowSubclass(m_connection->window, AnswerMessages, kSubclassId);
}

}  // namespace pw
