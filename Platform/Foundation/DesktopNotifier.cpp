#include "Platform/Foundation/DesktopNotifier.hpp"

#include "Platform/Foundation/DesktopNotificationService.hpp"
#include "Platform/Foundation/Module.hpp"

#include <stdexcept>

namespace Foundation {

namespace {

// A function of this library: the module is found from its folder.
void anchor() { }

}

DesktopNotifier::DesktopNotifier(const std::string& applicationName)
{
    try {
        auto const entry = reinterpret_cast<decltype(&foundationDesktopNotificationService)>(moduleSymbol(
            reinterpret_cast<const void*>(&anchor), FOUNDATION_DESKTOP_NOTIFICATIONS_MODULE,
            "foundationDesktopNotificationService"));
        m_service.reset(entry(applicationName.c_str()));
    } catch (const std::runtime_error& error) {
        m_loadProblem = std::string("cannot load the notification module: ") + error.what();
    }
}

DesktopNotifier::~DesktopNotifier() = default;

std::optional<std::string> DesktopNotifier::serviceProblem()
{
    if (!m_service)
        return m_loadProblem;
    return m_service->serviceProblem();
}

std::optional<std::string> DesktopNotifier::send(const DesktopNotification& notification)
{
    if (!m_service)
        return m_loadProblem;
    return m_service->send(notification);
}

}
