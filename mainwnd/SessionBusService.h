#pragma once
// The window's interface for other programs. On Windows it is the window
// messages of mainwnd/WindowMessages.h, sent to the main window itself with
// texts as global atoms (the buffers there set the same limits as below).
// Elsewhere it is the user's session bus:
// each window owns a bus name of its own (the application id, ".p" and the
// process id; "_2", "_3"... for further windows of the same process) with
// one object offering three methods:
//   Ping(u value) -> (u answer)      9999 when value is 8888, else 0
//   AddFile(s path)                  adds the file when it exists
//   ProgressText(u position, s text) Information line and progress bar
// Calls are handled on the thread that started the service (the window's),
// in its main loop. A path of 500 bytes or more, or a text of 300 or more,
// is refused with an InvalidArgs error instead of being cut.

#include <functional>
#include <memory>
#include <string>

namespace pw {

inline constexpr const char* kBusObjectPath = "/io/github/pagewright/Pagewright";
inline constexpr const char* kBusInterface = "io.github.pagewright.Pagewright.Window";
// The longest path and text accepted, in bytes: the buffers the window
// messages of the same purpose were read into, less their closing zero.
inline constexpr std::size_t kBusMaxPathBytes = 499;
inline constexpr std::size_t kBusMaxTextBytes = 299;

// The answer to Ping.
inline unsigned PingAnswer(unsigned value) { return value == 8888 ? 9999 : 0; }

struct SessionBusHandlers {
    // The window that answers (its native handle), where other programs
    // reach it by window messages; unused on the session bus.
    void* window = nullptr;
    std::function<void(const std::string& path)> addFile;
    std::function<void(unsigned position, const std::string& text)> progressText;
};

class SessionBusService {
public:
    // Connects to the session bus, offers the object and takes a new bus
    // name. Null, with one line in the debug trace, when there is no session
    // bus or the name cannot be had; the window then runs without it. On
    // Windows: answers the window messages of handlers.window until the
    // service ends (null without a window); BusName() is empty.
    static std::unique_ptr<SessionBusService> Start(SessionBusHandlers handlers);
    ~SessionBusService();
    SessionBusService(const SessionBusService&) = delete;
    SessionBusService& operator=(const SessionBusService&) = delete;

    const std::string& BusName() const { return m_busName; }

    struct Connection;

private:
    SessionBusService() = default;

    std::unique_ptr<Connection> m_connection;
    SessionBusHandlers m_handlers;
    std::string m_busName;
    unsigned m_registration = 0;
};

}  // namespace pw
