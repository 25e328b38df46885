// DesktopNotificationService: what the desktop-notification module offers
// DesktopNotifier, and the module's one entry point. Internal to the
// library and its module; not installed.
#pragma once

#include "Platform/Foundation/DesktopNotifier.hpp"

namespace Foundation {

class DesktopNotificationService {
public:
    virtual ~DesktopNotificationService() = default;
    // As DesktopNotifier's.
    virtual std::optional<std::string> serviceProblem() = 0;
    virtual std::optional<std::string> send(const DesktopNotification& notification) = 0;
};

}

// A new service speaking for `applicationName`, owned by the caller.
extern "C" Foundation::DesktopNotificationService* foundationDesktopNotificationService(const char* applicationName);
