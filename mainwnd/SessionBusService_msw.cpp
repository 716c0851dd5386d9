#include "mainwnd/SessionBusService.h"

namespace pw {

// Windows has no session bus. Window messages sent to the main window would
// stand in for it (the program's own message numbers for a ping, a file to
// add and a progress text); until they are offered the window runs without
// an interface for other programs, as it does on Linux without a bus.
struct SessionBusService::Connection {};

std::unique_ptr<SessionBusService> SessionBusService::Start(SessionBusHandlers) { return nullptr; }

SessionBusService::~SessionBusService() = default;

}  // namespace pw
