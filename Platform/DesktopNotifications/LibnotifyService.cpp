// The desktop-notification module: DesktopNotificationService over
// libnotify and the session bus.
#include "Platform/Foundation/DesktopNotificationService.hpp"

#include <gio/gio.h>
#include <libnotify/notify.h>

#include <pthread.h>
#include <signal.h>

namespace Foundation {

namespace {

constexpr char const* serviceName = "org.freedesktop.Notifications";
constexpr char const* servicePath = "/org/freedesktop/Notifications";

NotifyUrgency notifyUrgency(Urgency urgency)
{
    switch (urgency) {
    case Urgency::low:
        return NOTIFY_URGENCY_LOW;
    case Urgency::normal:
        return NOTIFY_URGENCY_NORMAL;
    case Urgency::critical:
        return NOTIFY_URGENCY_CRITICAL;
    }
    return NOTIFY_URGENCY_NORMAL;
}

// A GLib error as one short sentence, and the error freed.
std::string takeMessage(GError* error, const std::string& context)
{
    if (error == nullptr)
        return context;
    std::string reason;
    if (g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN)
        || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER)) {
        reason = "no notification service on the session bus";
    } else if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT)
        || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_TIMEOUT)
        || g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NO_REPLY)) {
        reason = "the notification service did not answer in time";
    } else {
        // A remote error's text starts with its D-Bus name, which tells a
        // user nothing.
        g_dbus_error_strip_remote_error(error);
        reason = context + ": " + error->message;
    }
    g_error_free(error);
    return reason;
}

// The session bus, connected with the termination requests blocked: the
// connection's worker thread inherits the mask, and a thread that does not
// block them would die of a request the program means to handle itself.
GDBusConnection* connectSessionBus(GError** error)
{
    sigset_t requests;
    sigemptyset(&requests);
    sigaddset(&requests, SIGTERM);
    sigaddset(&requests, SIGINT);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &requests, &previous);
    GDBusConnection* const connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return connection;
}

// Whatever the main context queued meanwhile (signals of a proxy gone
// since): a long-running program that never runs the context must not let
// it grow.
void drainMainContext()
{
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

// The session bus is held so that libnotify's proxy and our questions share
// one connection instead of opening one each time.
class LibnotifyService final : public DesktopNotificationService {
public:
    explicit LibnotifyService(std::string applicationName)
        : m_applicationName(std::move(applicationName))
    {
        notify_init(m_applicationName.c_str());
    }

    ~LibnotifyService() override
    {
        notify_uninit();
        if (m_connection != nullptr)
            g_object_unref(m_connection);
        drainMainContext();
    }

    LibnotifyService(const LibnotifyService&) = delete;
    LibnotifyService& operator=(const LibnotifyService&) = delete;

    std::optional<std::string> serviceProblem() override
    {
        if (m_connection != nullptr && g_dbus_connection_is_closed(m_connection)) {
            // The bus went away: start over, libnotify's proxy on it too.
            g_object_unref(m_connection);
            m_connection = nullptr;
            notify_uninit();
            notify_init(m_applicationName.c_str());
        }
        GError* error = nullptr;
        if (m_connection == nullptr) {
            m_connection = connectSessionBus(&error);
            if (m_connection == nullptr)
                return takeMessage(error, "no session bus");
            // By default a bus that goes away ends the process with SIGTERM;
            // here it only means no notifications until it is back.
            g_dbus_connection_set_exit_on_close(m_connection, FALSE);
        }
        // The one call every service answers; it also starts a service the bus
        // launches on demand.
        GVariant* const reply = g_dbus_connection_call_sync(m_connection, serviceName, servicePath, serviceName,
            "GetServerInformation", nullptr, G_VARIANT_TYPE("(ssss)"), G_DBUS_CALL_FLAGS_NONE,
            static_cast<gint>(serviceAnswerTimeout.count()), nullptr, &error);
        if (reply == nullptr)
            return takeMessage(error, "the notification service failed");
        g_variant_unref(reply);
        return std::nullopt;
    }

    std::optional<std::string> send(const DesktopNotification& notification) override
    {
        // libnotify waits for the service as long as GDBus lets it (25 s):
        // a service that does not answer a short question first is not asked.
        if (auto problem = serviceProblem())
            return problem;
        NotifyNotification* const shown = notify_notification_new(notification.summary.c_str(),
            notification.body.empty() ? nullptr : notification.body.c_str(),
            notification.icon ? notification.icon->c_str() : nullptr);
        notify_notification_set_urgency(shown, notifyUrgency(notification.urgency));
        if (notification.desktopEntry)
            notify_notification_set_hint_string(shown, "desktop-entry", notification.desktopEntry->c_str());
        GError* error = nullptr;
        bool const delivered = notify_notification_show(shown, &error);
        g_object_unref(shown);
        // libnotify's proxy listens for the service's signals until it is
        // dropped, and with no main loop running each one would wait in memory
        // for good: drop it after every notification.
        notify_uninit();
        notify_init(m_applicationName.c_str());
        drainMainContext();
        if (!delivered)
            return takeMessage(error, "the notification service failed");
        return std::nullopt;
    }

private:
    std::string m_applicationName;
    GDBusConnection* m_connection = nullptr;
};

}

}

extern "C" __attribute__((visibility("default"))) Foundation::DesktopNotificationService* foundationDesktopNotificationService(
    const char* applicationName)
{
    return new Foundation::LibnotifyService(applicationName);
}
