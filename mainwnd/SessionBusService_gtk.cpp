#include "mainwnd/SessionBusService.h"

#include "platform/DebugTrace.h"
#include "platform/ProductIdentity.h"

#include <gio/gio.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace pw {

// Each window has a connection of its own, so that each can offer its object
// at the same path; closing it gives the bus name back.
struct SessionBusService::Connection {
    GDBusConnection* bus = nullptr;
    ~Connection() {
        if (!bus)
            return;
        g_dbus_connection_close_sync(bus, nullptr, nullptr);
        g_object_unref(bus);
    }
};

namespace {

constexpr const char* kIntrospection =
    "<node>"
    "  <interface name='io.github.pagewright.Pagewright.Window'>"
    "    <method name='Ping'>"
    "      <arg type='u' name='value' direction='in'/>"
    "      <arg type='u' name='answer' direction='out'/>"
    "    </method>"
    "    <method name='AddFile'>"
    "      <arg type='s' name='path' direction='in'/>"
    "    </method>"
    "    <method name='ProgressText'>"
    "      <arg type='u' name='position' direction='in'/>"
    "      <arg type='s' name='text' direction='in'/>"
    "    </method>"
    "  </interface>"
    "</node>";

GDBusNodeInfo* Introspection() {
    static GDBusNodeInfo* const info = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    return info;
}

// GLib finds the session bus through DBUS_SESSION_BUS_ADDRESS or the
// per-user socket; failing both it would start a bus of its own through
// dbus-launch, which a window should not do behind the user's back.
bool SessionBusAvailable() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    return runtime && *runtime && std::filesystem::exists(std::filesystem::path(runtime) / "bus", error);
}

std::string NextBusName() {
    static std::atomic<int> windows{0};
    const int n = ++windows;
    std::string name = std::string(kApplicationId) + ".p" + std::to_string(getpid());
    if (n > 1)
        name += "_" + std::to_string(n);
    return name;
}

void Refuse(GDBusMethodInvocation* invocation, const char* what, std::size_t limit) {
    g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                          "The %s is longer than %zu bytes", what, limit);
}

void HandleMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                      GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    const SessionBusHandlers& handlers = *static_cast<const SessionBusHandlers*>(data);
    const std::string name = method;
    if (name == "Ping") {
        guint32 value = 0;
        g_variant_get(parameters, "(u)", &value);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", PingAnswer(value)));
    } else if (name == "AddFile") {
        const gchar* path = nullptr;
        g_variant_get(parameters, "(&s)", &path);
        if (std::strlen(path) > kBusMaxPathBytes)
            return Refuse(invocation, "path", kBusMaxPathBytes);
        if (handlers.addFile)
            handlers.addFile(path);
        g_dbus_method_invocation_return_value(invocation, nullptr);
    } else if (name == "ProgressText") {
        guint32 position = 0;
        const gchar* text = nullptr;
        g_variant_get(parameters, "(u&s)", &position, &text);
        if (std::strlen(text) > kBusMaxTextBytes)
            return Refuse(invocation, "text", kBusMaxTextBytes);
        if (handlers.progressText)
            handlers.progressText(position, text);
        g_dbus_method_invocation_return_value(invocation, nullptr);
    } else {
        g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD,
                                              "No method %s", method);
    }
}

const GDBusInterfaceVTable kVTable = {HandleMethodCall, nullptr, nullptr, {nullptr}};

// Asks the bus for the name, without queueing for it; true when this
// connection owns it now.
bool RequestName(GDBusConnection* bus, const std::string& name, GError** error) {
    constexpr guint32 kDoNotQueue = 4;
    constexpr guint32 kPrimaryOwner = 1;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
        g_variant_new("(su)", name.c_str(), kDoNotQueue), G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1,
        nullptr, error);
    if (!reply)
        return false;
    guint32 result = 0;
    g_variant_get(reply, "(u)", &result);
    g_variant_unref(reply);
    return result == kPrimaryOwner;
}

}  // namespace

std::unique_ptr<SessionBusService> SessionBusService::Start(SessionBusHandlers handlers) {
    if (!SessionBusAvailable()) {
        DebugTrace("no session bus: the window is not reachable by other programs");
        return nullptr;
    }
    GError* error = nullptr;
    std::unique_ptr<SessionBusService> service(new SessionBusService);
    service->m_connection = std::make_unique<Connection>();
    if (gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error)) {
        service->m_connection->bus = g_dbus_connection_new_for_address_sync(
            address,
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        g_free(address);
    }
    GDBusNodeInfo* info = Introspection();
    if (service->m_connection->bus && info) {
        service->m_handlers = std::move(handlers);
        service->m_registration = g_dbus_connection_register_object(
            service->m_connection->bus, kBusObjectPath, info->interfaces[0], &kVTable, &service->m_handlers,
            nullptr, &error);
    }
    const std::string name = NextBusName();
    if (service->m_registration == 0 || !RequestName(service->m_connection->bus, name, &error)) {
        std::string why = "the name " + name + " is taken";
        if (error) {
            why = error->message;
            g_error_free(error);
        }
        DebugTrace("session bus not used: " + why);
        return nullptr;
    }
    service->m_busName = name;
    return service;
}

SessionBusService::~SessionBusService() {
    GDBusConnection* bus = m_connection ? m_connection->bus : nullptr;
    if (!bus)
        return;
    if (m_registration)
        g_dbus_connection_unregister_object(bus, m_registration);
}

}  // namespace pw
